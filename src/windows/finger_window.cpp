#include "windows/finger_window.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "windows/text_width.h"

namespace marovin::windows {

CFingerDlg::CFingerDlg(const QString& title, std::string_view answer, const QFont& listFont, QWidget* parent)
    : QDialog(parent), m_text(new QPlainTextEdit(this)), m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("fingerWindow"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    m_text->setObjectName(QStringLiteral("answerText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(listFont);
    showAnswer(answer);
    const int textWidth =
        widestLine(m_text->toPlainText().split(QLatin1Char('\n')), listFont, 2 * m_text->frameWidth() + 32);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    resize(std::max(480, textWidth + 24), 400);
    fitOnScreen(*this);
}

void CFingerDlg::showAnswer(std::string_view answer)
{
    // The answer's lines end in CR LF; the edit keeps lines, not line ends.
    QString text = platform::fromBig5Lines(answer);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    m_text->setPlainText(text);
}

void CFingerDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once the window has its place on the screen.
    QTimer::singleShot(0, this, [this] {
        if (m_ok->isVisible())
            QCursor::setPos(m_ok->mapToGlobal(m_ok->rect().center()));
    });
}

} // namespace marovin::windows
