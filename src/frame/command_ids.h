#pragma once
// Numeric ids of commands, windows and controls that other parts of the program name.

namespace marovin::windows {

// Resources.
constexpr int kMainFrameResource = 128;
constexpr int kGameDocumentResource = 129;
constexpr int kTextPromptResource = 166;
constexpr int kWhoWindowResource = 175;

// Main-frame commands.
constexpr int kFocusInputLineCommand = 104;
constexpr int kFastKeyCommandFirst = 106; // 106..113: fast keys 1..8
constexpr int kFastKeyCount = 8;
constexpr int kMoveListFastKey = 5; // F6: the move list's key while it has no text

// Game-window commands.
constexpr int kAdjournGameCommand = 32796;
constexpr int kPassCommand = 32797;
constexpr int kResignCommand = 32798;
constexpr int kUndoMoveCommand = 32799;
constexpr int kAddTimeCommand = 32852;
constexpr int kAllObserversCommand = 32851;
constexpr int kTimeLeftCommand = 32826;
constexpr int kKibitzCommand = 1033;
constexpr int kRefreshGameCommand = 32822;
constexpr int kHeaderCommand = 32783;
constexpr int kSetupPositionCommand = 32782;
constexpr int kTextRecordCommand = 32863;
constexpr int kSendGameCommand = 32778;
constexpr int kStopSendGameCommand = 32780;
constexpr int kStopReceiveGameCommand = 32779;
constexpr int kDeleteMovesCommand = 32781;
constexpr int kFlipBoardCommand = 32777;
constexpr int kMergeGameCommand = 32859;
constexpr int kSmallSizeCommand = 32828;
constexpr int kMediumSizeCommand = 32829;
constexpr int kLargeSizeCommand = 32830;
constexpr int kPlayingSizeCommand = 32831;
constexpr int kLookingSizeCommand = 32832;
constexpr int kStorePlayingSizeCommand = 32833;
constexpr int kStoreLookingSizeCommand = 32834;

} // namespace marovin::windows
