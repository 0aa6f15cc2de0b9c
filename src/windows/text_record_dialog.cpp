#include "windows/text_record_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "model/byte_stream.h"
#include "model/text_record.h"
#include "platform/big5_text.h"
#include "support/ports.h"

namespace marovin::windows {

CTextRecordDlg::CTextRecordDlg(const model::CGame& game, const QFont& listFont, DesktopPort& desktop, QWidget* parent)
    : QDialog(parent), m_game(game), m_desktop(desktop), m_text(new QPlainTextEdit(this)),
      m_moveText(new QPushButton(QStringLiteral("將游標之後文字移到下一列"), this)),
      m_pushText(new QPushButton(QStringLiteral("將游標之後文字往後挪"), this)),
      m_copy(new QPushButton(QStringLiteral("複製到剪貼簿"), this)), m_close(new QPushButton(QStringLiteral("離開"), this))
{
    setObjectName(QStringLiteral("textRecordWindow"));
    setWindowTitle(QString::fromUtf8(kTextRecordTitle));
    m_text->setObjectName(QStringLiteral("recordText"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(listFont);
    model::StringSink record;
    model::WriteTextRecord(game, record);
    m_text->setPlainText(platform::fromBig5Lines(record.text));

    auto* group = new QGroupBox(QStringLiteral("在下方編輯窗中的游標處插入目前的文字棋盤"), this);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(m_moveText);
    groupLayout->addWidget(m_pushText);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(group, 1);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_text, 1);
    m_close->setDefault(true);

    connect(m_moveText, &QPushButton::clicked, this,
            [this] { insertDiagram(model::DiagramInsertion::MoveTextToNextLine); });
    connect(m_pushText, &QPushButton::clicked, this, [this] { insertDiagram(model::DiagramInsertion::PushTextRight); });
    connect(m_copy, &QPushButton::clicked, this, &CTextRecordDlg::copyToClipboard);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    resize(QFontMetrics(listFont).horizontalAdvance(QLatin1Char('0')) * 84, 560);
}

void CTextRecordDlg::insertDiagram(model::DiagramInsertion how)
{
    // The diagram goes in by Big5 columns: text that Big5 cannot carry would be lost.
    const std::optional<std::string> text =
        platform::toBig5Checked(platform::withCrLf(m_text->toPlainText()), m_desktop);
    if (!text)
        return;
    const QTextCursor cursor = m_text->textCursor();
    const int line = cursor.blockNumber();
    const int column =
        static_cast<int>(platform::toBig5(cursor.block().text().left(cursor.positionInBlock())).size());
    const std::string result = model::InsertDiagram(*text, line, column, model::TextDiagram(m_game), how);
    m_text->setPlainText(platform::fromBig5Lines(result));
    QTextCursor back(m_text->document()->findBlockByNumber(line));
    back.setPosition(std::min(back.position() + cursor.positionInBlock(), back.position() + back.block().length() - 1));
    m_text->setTextCursor(back);
    m_text->setFocus();
}

void CTextRecordDlg::copyToClipboard()
{
    m_text->selectAll();
    const QString shown = m_text->toPlainText();
    auto* data = new QMimeData;
    data->setText(shown);
    const std::string big5 = platform::toBig5(platform::withCrLf(shown));
    data->setData(QStringLiteral("text/plain;charset=big5"), QByteArray::fromStdString(big5));
    QApplication::clipboard()->setMimeData(data);
    QTextCursor end = m_text->textCursor();
    end.movePosition(QTextCursor::End);
    m_text->setTextCursor(end);
    m_text->ensureCursorVisible();
}

} // namespace marovin::windows
