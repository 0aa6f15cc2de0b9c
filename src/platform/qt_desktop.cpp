#include "platform/qt_desktop.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

#include "platform/big5_text.h"

namespace marovin::platform {
namespace {

const QString kProgramName = QStringLiteral("Marovin");

} // namespace

void QtDesktop::beep()
{
    QApplication::beep();
}

void QtDesktop::messageBox(std::string_view text)
{
    captionedBox(text, {});
}

void QtDesktop::captionedBox(std::string_view text, std::string_view caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption.empty() ? kProgramName : fromBig5(caption), fromBig5(text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDesktop::askYesNo(std::string_view text, bool defaultNo)
{
    QMessageBox box(QMessageBox::Question, kProgramName, fromBig5(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

YesNoCancel QtDesktop::askYesNoCancel(std::string_view text)
{
    QMessageBox box(QMessageBox::Question, kProgramName, fromBig5(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return YesNoCancel::Yes;
    case QMessageBox::No: return YesNoCancel::No;
    default: return YesNoCancel::Cancel;
    }
}

FatalBoxAnswer QtDesktop::fatalBox(std::string_view text, std::string_view caption)
{
    if (!QApplication::instance()) {
        // Before the application exists there is no screen to ask on.
        std::fprintf(stderr, "%s\n%s\n", std::string(caption).c_str(), std::string(text).c_str());
        return FatalBoxAnswer::Abort;
    }
    QMessageBox box(QMessageBox::Critical, fromBig5(caption), fromBig5(text),
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, m_parent);
    switch (box.exec()) {
    case QMessageBox::Abort: return FatalBoxAnswer::Abort;
    case QMessageBox::Retry: return FatalBoxAnswer::Retry;
    default: return FatalBoxAnswer::Ignore;
    }
}

void QtDesktop::exitProgram(int status)
{
    std::fflush(nullptr);
    std::exit(status);
}

} // namespace marovin::platform
