# A Debian package of the installed programs and their files (cpack -G DEB in the build
# folder; scripts/package.sh does it all). The library dependencies are read from the
# programs themselves, the engine is recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marovin)
set(CPACK_PACKAGE_VENDOR "Dozavave")
set(CPACK_PACKAGE_CONTACT "Marovin developers <marovin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop client for the OMRA Chinese-chess (Xiangqi) server and an editor of game records,\n\
with an engine, a game database, a practice server with bots and a command-line tool.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fairy-stockfish")
include(CPack)
