#pragma once
// Ports of the session that do nothing, for benchmarks that measure the scanner and must
// not keep what it reports. Derive and override the calls whose text is wanted.

#include <cstdint>
#include <optional>
#include <string_view>

#include "session/client_ports.h"

namespace marovin::testkit {

struct NullClientDesktop : session::ClientDesktopPort {
    void setStatusLabel(std::optional<std::uint32_t>, std::optional<std::string_view>) override {}
    void raiseTerminal() override {}
    void setTerminalTitle(std::string_view) override {}
    void showPartialLine(std::string_view) override {}
    void handleOnePendingEvent() override {}
    bool leftButtonDown() override { return false; }
    void appendTellLine(TextFormatId, std::string_view) override {}
    void setPlayerName(std::string_view) override {}
    void updateWhoList(std::string_view, int) override {}
    void showWhoWindow() override {}
    void updateGamesList(std::string_view) override {}
    void createStoredGamesWindow(std::string_view) override {}
    void createFingerWindow(std::string_view) override {}
    void openMessageDialog(std::string_view) override {}
    void openAliasResult(std::string_view) override {}
    void openMatchDialog(std::string_view) override {}
    void openLoginWindow() override {}
};

struct NullGames : session::GamePort {
    void parseGameNotice(std::string_view) override {}
    void collectGameLine(session::Collector, std::string_view, bool) override {}
    bool offerHandicapLine(std::string_view) override { return false; }
    void clearCurrentGame() override {}
    void finishUpdates() override {}
    void endSessionGames() override {}
    void resetTransfers() override {}
    bool sendingGame() override { return false; }
    void sendNextGameLine() override {}
    void onTransferTell(std::string_view, std::string_view) override {}
    void askGameOverQuestions() override {}
    void tickClocks(std::int64_t) override {}
};

} // namespace marovin::testkit
