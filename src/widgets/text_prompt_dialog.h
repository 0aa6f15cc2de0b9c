#pragma once
// The one-value prompt: a caption, the line "At most N characters", one edit field.
// Modal. OK stores the entered text (Big5) unless it is longer than the maximum, which
// shows "Too many characters" and keeps the prompt open; Cancel stores nothing.
// The length is counted in bytes of the Big5 text (the fields it fills are byte arrays);
// a maximum of 0 or less sets no limit. Text with characters that Big5 lacks is refused
// too, with a message saying which.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include <string>
#include <string_view>

#include "support/ports.h"

namespace marovin::windows {

class CTextPromptDlg : public QDialog {
    Q_OBJECT
public:
    CTextPromptDlg(std::string& text, std::string_view title, int maximum, DesktopPort& desktop,
                   QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    QLabel* limitLine() const { return m_limit; }
    void accept() override;

private:
    std::string& m_text;
    int m_maximum;
    DesktopPort& m_desktop;
    QLineEdit* m_edit;
    QLabel* m_limit;
};

} // namespace marovin::windows
