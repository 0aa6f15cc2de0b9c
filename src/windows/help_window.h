#pragma once
// The help window: a short guide to the program, read from help.md in the asset folder.
// One window, shown again when asked for again.

#include <QDialog>
#include <QTextBrowser>

#include <string>

namespace marovin::windows {

inline constexpr char kHelpFileName[] = "help.md";

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    // path: the help text (Markdown). A missing file shows where it was looked for.
    explicit CHelpWindow(const std::string& path, QWidget* parent = nullptr);

    QTextBrowser* text() const { return m_text; }

private:
    QTextBrowser* m_text;
};

} // namespace marovin::windows
