#include "windows/command_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QPointer>
#include <QTimer>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"
#include "session/frame_commands.h"
#include "widgets/window_placement.h"
#include "widgets/dialog_buttons.h"

namespace marovin::windows {

CCommandDlg::CCommandDlg(session::ClientContext& context, std::string filePath, QWidget* parent)
    : QDialog(parent), m_context(context), m_filePath(std::move(filePath)), m_list(new QListWidget(this)),
      m_edit(new QLineEdit(this)), m_shout(makeButton(QStringLiteral("Shout it"), this)),
      m_send(makeButton(QStringLiteral("Send it"), this)), m_insert(makeButton(QStringLiteral("Insert New"), this)),
      m_delete(makeButton(QStringLiteral("Delete"), this))
{
    setObjectName(QStringLiteral("commandWindow"));
    setWindowTitle(QString::fromLatin1(kCommandWindowTitle));
    setModal(false);
    m_list->setObjectName(QStringLiteral("commandList"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setObjectName(QStringLiteral("commandText"));
    m_edit->setValidator(
        new platform::Big5LengthValidator(static_cast<int>(session::kCommandTextLimit), m_edit));
    m_edit->installEventFilter(this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 1, 4);
    layout->addWidget(m_edit, 1, 0, 1, 4);
    layout->addWidget(m_shout, 2, 0);
    layout->addWidget(m_send, 2, 1);
    layout->addWidget(m_insert, 2, 2);
    layout->addWidget(m_delete, 2, 3);
    layout->setRowStretch(0, 1);

    connect(m_list, &QListWidget::currentRowChanged, this, &CCommandDlg::onRowChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CCommandDlg::shoutIt);
    connect(m_edit, &QLineEdit::textEdited, this, &CCommandDlg::onEdited);
    connect(m_shout, &QPushButton::clicked, this, &CCommandDlg::shoutIt);
    connect(m_send, &QPushButton::clicked, this, &CCommandDlg::sendIt);
    connect(m_insert, &QPushButton::clicked, this, &CCommandDlg::insertNew);
    connect(m_delete, &QPushButton::clicked, this, &CCommandDlg::deleteEntry);

    resize(460, 360);
    placeAtCreation();
    m_commands.load(session::readCommandFile(m_filePath, m_context.desktop));
    fillList();
    selectRow(0);
}

void CCommandDlg::placeAtCreation()
{
    const WindowPlacement& placement = m_context.options.commandWindowPlacement;
    const Rect32& r = placement.normalRect;
    if (r.left != 0 && r.right > r.left && r.bottom > r.top) {
        setGeometry(QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top)));
    } else if (const QWidget* owner = parentWidget()) {
        QRect place = frameGeometry();
        place.moveCenter(owner->geometry().center());
        move(place.topLeft());
    }
    m_placementLocked = false;
    m_context.options.commandWindowPlacement = widgets::placementOf(*this);
}

void CCommandDlg::showWindow()
{
    // The moves that showing it again makes are not the user's; the later ones are kept.
    m_placementLocked = true;
    show();
    raise();
    activateWindow();
    QTimer::singleShot(0, this, [this] { m_placementLocked = false; });
}

void CCommandDlg::fillList()
{
    m_selecting = true;
    m_list->clear();
    for (const std::string& entry : m_commands.entries())
        m_list->addItem(platform::fromBig5(entry));
    m_selecting = false;
}

void CCommandDlg::selectRow(int row)
{
    m_selecting = true;
    m_commands.select(row);
    m_list->setCurrentRow(m_commands.selected());
    m_selecting = false;
    // A longer entry from the file is shown, and sent, up to the field's limit: the field
    // refuses every edit of a text over its limit, even one that shortens it.
    m_edit->setText(
        platform::fromBig5(platform::big5Prefix(m_commands.selectedText(), session::kCommandTextLimit)));
    m_edit->setCursorPosition(static_cast<int>(m_edit->text().size()));
}

void CCommandDlg::onRowChanged(int row)
{
    if (m_selecting)
        return;
    selectRow(row);
    m_edit->setFocus();
}

void CCommandDlg::onEdited(const QString& text)
{
    if (m_commands.selected() < 0)
        return;
    m_commands.setSelectedText(platform::toBig5(text));
    if (QListWidgetItem* item = m_list->item(m_commands.selected()))
        item->setText(text);
}

void CCommandDlg::shoutIt()
{
    const auto text = platform::toBig5Checked(m_edit->text(), m_context.desktop);
    if (!text)
        return;
    // A shout line holds less than the field: a longer text is not sent cut.
    if (text->size() > session::kShoutTextLimit)
        m_context.desktop.messageBox(session::shoutTooLongMessage(text->size()));
    else
        session::sendCommand(m_context, session::shoutLine(*text), true, true);
}

void CCommandDlg::sendIt()
{
    if (const auto text = platform::toBig5Checked(m_edit->text(), m_context.desktop))
        session::sendCommand(m_context, platform::big5Prefix(*text, session::kCommandTextLimit) + "\r\n", true, true);
}

void CCommandDlg::insertNew()
{
    m_commands.insertNew();
    const int row = m_commands.selected();
    fillList();
    selectRow(row);
}

void CCommandDlg::deleteEntry()
{
    const QPointer<CCommandDlg> self(this);
    const bool deleted = m_commands.deleteSelected(m_context.desktop);
    if (!self || !deleted)
        return;
    const int row = m_commands.selected();
    fillList();
    selectRow(row);
}

void CCommandDlg::save()
{
    m_commands.save(m_filePath, m_context.desktop);
}

bool CCommandDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Saved when the field loses the focus; the box a failure shows comes afterwards.
    if (watched == m_edit && event->type() == QEvent::FocusOut && m_commands.modified())
        QTimer::singleShot(0, this, &CCommandDlg::save);
    return QDialog::eventFilter(watched, event);
}

void CCommandDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    if (!m_placementLocked && isVisible())
        m_context.options.commandWindowPlacement = widgets::placementOf(*this);
}

void CCommandDlg::reject()
{
    // The close box and Esc: saved, then hidden.
    save();
    QDialog::reject();
}

void CCommandDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        // Minimising it closes it: it saves and hides.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

} // namespace marovin::windows
