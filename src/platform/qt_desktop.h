#pragma once
// The desktop port on Qt: message boxes, the Yes/No question, the fatal box and the beep.
// Texts arrive in Big5 and are shown through the Big5 converter.

#include <QPointer>
#include <QWidget>

#include "support/ports.h"

namespace marovin::platform {

class QtDesktop : public DesktopPort {
public:
    // Boxes open over parent when one is set (the main frame, once it exists).
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void beep() override;
    void messageBox(std::string_view text) override;
    void captionedBox(std::string_view text, std::string_view caption) override;
    bool askYesNo(std::string_view text, bool defaultNo) override;
    YesNoCancel askYesNoCancel(std::string_view text) override;
    FatalBoxAnswer fatalBox(std::string_view text, std::string_view caption) override;
    [[noreturn]] void exitProgram(int status) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace marovin::platform
