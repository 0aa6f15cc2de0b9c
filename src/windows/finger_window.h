#pragma once
// A server answer shown as plain text in the list font, with an OK button: the finger
// window ("Finger Information") and the alias result window ("Result of <Alias -l>"). A
// new window for every answer (up to a limit, past which the oldest shows the next),
// destroyed when closed. Whenever it is shown the mouse pointer moves onto OK, so that one
// click dismisses it.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

#include <string_view>

namespace marovin::windows {

inline constexpr const char* kFingerTitle = "Finger Information";
inline constexpr const char* kAliasResultTitle = "Result of <Alias -l>";

class CFingerDlg : public QDialog {
    Q_OBJECT
public:
    CFingerDlg(const QString& title, std::string_view answer, const QFont& listFont, QWidget* parent = nullptr);

    // Shows another answer in place of the one shown.
    void showAnswer(std::string_view answer);

    QPlainTextEdit* text() const { return m_text; }
    QPushButton* okButton() const { return m_ok; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_text;
    QPushButton* m_ok;
};

} // namespace marovin::windows
