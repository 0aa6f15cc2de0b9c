# One function makes a module, one a test, one a benchmark, one a fuzz target.
#
#   marovin_add_module(model SOURCES a.cpp b.cpp DEPS marovin_support [QT])
#       -> static library marovin_model; QT modules are skipped when the GUI is off.
#   marovin_add_test(model_position SOURCES t.cpp DEPS marovin_model [GUI] [LABELS ...])
#       -> executable test_model_position, its tests discovered by ctest.
#   marovin_add_bench(model SOURCES b.cpp DEPS marovin_model)
#       -> executable bench_model.
#   marovin_add_fuzz(game_file SOURCES f.cpp DEPS marovin_model)
#       -> fuzz_game_file: a libFuzzer binary in the fuzz build; elsewhere a plain program
#          that replays the seed corpus fuzz/corpus/game_file/ and runs as a test.

function(marovin_add_module name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
    if(ARG_QT AND NOT MAROVIN_BUILD_GUI)
        return()
    endif()
    add_library(marovin_${name} STATIC ${ARG_SOURCES})
    target_link_libraries(marovin_${name} PUBLIC marovin_flags ${ARG_DEPS})
    if(ARG_QT)
        target_link_libraries(marovin_${name} PUBLIC Qt6::Widgets Qt6::Network)
        set_target_properties(marovin_${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
endfunction()

function(marovin_add_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
    if(ARG_GUI AND NOT MAROVIN_BUILD_GUI)
        return()
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_executable(test_${name} ${ARG_SOURCES})
    if(ARG_GUI)
        set_target_properties(test_${name} PROPERTIES AUTOMOC ON AUTORCC ON)
        target_link_libraries(test_${name} PRIVATE Qt6::Widgets Qt6::Network)
    endif()
    target_link_libraries(test_${name} PRIVATE marovin_flags marovin_testkit ${ARG_DEPS}
        GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(test_${name} PRIVATE
        MAROVIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        MAROVIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        MAROVIN_BINARY_DIR="${PROJECT_BINARY_DIR}")
    # The sanitizers' options are built into the program: a list of variables would not
    # survive the test discovery's property lists.
    if(MAROVIN_SANITIZE)
        target_sources(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/testkit/sanitizer_defaults.cpp)
        target_compile_definitions(test_${name} PRIVATE
            MAROVIN_LSAN_SUPPRESSIONS="${PROJECT_SOURCE_DIR}/tests/lsan.supp")
    endif()
    gtest_discover_tests(test_${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()

function(marovin_add_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(bench_${name} ${ARG_SOURCES})
    target_link_libraries(bench_${name} PRIVATE marovin_flags ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
    target_compile_definitions(bench_${name} PRIVATE MAROVIN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

function(marovin_add_fuzz name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    if(MAROVIN_FUZZ)
        add_executable(fuzz_${name} ${ARG_SOURCES})
        target_link_libraries(fuzz_${name} PRIVATE marovin_flags ${ARG_DEPS})
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    elseif(MAROVIN_BUILD_TESTS)
        add_executable(fuzz_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
        target_link_libraries(fuzz_${name} PRIVATE marovin_flags ${ARG_DEPS})
        add_test(NAME fuzz_replay.${name} COMMAND fuzz_${name} ${corpus})
        set_tests_properties(fuzz_replay.${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
    endif()
endfunction()
