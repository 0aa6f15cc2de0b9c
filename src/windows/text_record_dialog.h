#pragma once
// "文字棋譜": the whole record of a game written out in Chinese notation in an editable box
// in the list font. The user may edit it, put text diagrams of the game's browsed position
// in at the cursor, and copy it all to the clipboard. Modal: the game stays as it is while
// the window is open.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

#include "model/game.h"
#include "model/text_diagram.h"

namespace marovin {
class DesktopPort;
}

namespace marovin::windows {

inline constexpr const char* kTextRecordTitle = "文字棋譜";

class CTextRecordDlg : public QDialog {
    Q_OBJECT
public:
    CTextRecordDlg(const model::CGame& game, const QFont& listFont, DesktopPort& desktop, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }
    QPushButton* moveTextButton() const { return m_moveText; } // 1015
    QPushButton* pushTextButton() const { return m_pushText; } // 1016
    QPushButton* copyButton() const { return m_copy; }         // 1017
    QPushButton* closeButton() const { return m_close; }       // 1

    // Puts the diagram of the browsed position in at the cursor.
    void insertDiagram(model::DiagramInsertion how);
    // Copies the whole text: Unicode for other programs, and the Big5 bytes with CR LF for
    // a program that asks for "text/plain;charset=big5".
    void copyToClipboard();

private:
    const model::CGame& m_game;
    DesktopPort& m_desktop;
    QPlainTextEdit* m_text;
    QPushButton* m_moveText;
    QPushButton* m_pushText;
    QPushButton* m_copy;
    QPushButton* m_close;
};

} // namespace marovin::windows
