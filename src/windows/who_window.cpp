#include "windows/who_window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "session/match_request.h"
#include "support/fixed_text.h"
#include "widgets/dialog_buttons.h"
#include "windows/match_controls.h"
#include "windows/text_width.h"

namespace marovin::windows {

using session::WhoCommand;
using session::WhoRecord;

namespace {

constexpr std::string_view kNoSelection = "Please Select an Item";
constexpr int kWidestWhoLine = 53; // a list line with a name of 20 bytes
constexpr int kItemTextMargin = 3; // where a list item's text begins inside the item
constexpr const char* kSortCaptions[] = {"Name", "Slow Rating", "Fast Rating"};

} // namespace

CWhoDlg::CWhoDlg(WhoRecord* records, session::ClientContext& context, QWidget* parent)
    : QDialog(parent), m_records(records), m_context(context),
      m_heading(new QLabel(platform::fromBig5(session::kWhoHeading), this)), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("whoWindow"));
    setModal(false);
    m_heading->setObjectName(QStringLiteral("whoHeading"));
    m_list->setObjectName(QStringLiteral("whoList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(0);
    listColumn->addWidget(m_heading);
    listColumn->addWidget(m_list, 1);
    auto* buttonColumn = new QVBoxLayout;
    buildButtons(buttonColumn);
    auto* top = new QHBoxLayout;
    top->addLayout(listColumn, 1);
    top->addLayout(buttonColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    auto* settings = new QHBoxLayout;
    settings->addWidget(buildSortGroup());
    settings->addWidget(buildMatchGroup(), 1);
    layout->addLayout(settings);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CWhoDlg::onSelectionChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        // A double click matches as the Match button does, and only where it may.
        if (m_match->isEnabled())
            sendMatch(false);
    });
    connect(m_list, &QListWidget::customContextMenuRequested, this, &CWhoDlg::showContextMenu);
    rebuildWhoList();
    resize(760, 520);
}

void CWhoDlg::buildButtons(QVBoxLayout* column)
{
    const auto add = [&](const char* caption, auto handler) {
        QPushButton* button = makeButton(QString::fromLatin1(caption), this);
        connect(button, &QPushButton::clicked, this, handler);
        column->addWidget(button);
        return button;
    };
    add("Update", [this] { send("who -2"); });
    add("Exit", &QDialog::reject);
    m_match = add("Match", [this] { sendMatch(false); });
    m_matchExit = add("Match-Exit", [this] { sendMatch(true); });
    add("My Name", [this] { selectByName(m_context.session.loggedInName); });
    m_observe = add("Observe", [this] { sendFor(WhoCommand::Observe, true); });
    add("Stored", [this] { sendFor(WhoCommand::Stored, true); });
    add("Finger", [this] { sendFor(WhoCommand::Finger, false); });
    add("Alias -l", [this] { sendFor(WhoCommand::AliasList, false); });
    add("History", [this] { sendFor(WhoCommand::History, true); });
    column->addStretch(1);
}

QWidget* CWhoDlg::buildSortGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Sort By"), this);
    auto* layout = new QVBoxLayout(group);
    auto* buttons = new QButtonGroup(group);
    for (int key = 0; key < 3; ++key) {
        auto* button = new QRadioButton(QString::fromLatin1(kSortCaptions[key]), group);
        buttons->addButton(button, key);
        layout->addWidget(button);
        m_sortButtons[static_cast<std::size_t>(key)] = button;
    }
    const int key = m_context.options.whoSortKey;
    m_sortButtons[static_cast<std::size_t>(key >= 0 && key < 3 ? key : 0)]->setChecked(true);
    m_openFirst = new QCheckBox(QStringLiteral("Sort  OPEN"), group);
    m_openFirst->setChecked(m_context.options.whoOpenFirst == 1);
    layout->addWidget(m_openFirst);
    connect(buttons, &QButtonGroup::idClicked, this, [this](int id) {
        m_context.options.whoSortKey = id;
        rebuildWhoList();
    });
    connect(m_openFirst, &QCheckBox::clicked, this, [this](bool on) {
        m_context.options.whoOpenFirst = on ? 1 : 0;
        rebuildWhoList();
    });
    return group;
}

QWidget* CWhoDlg::buildMatchGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Match"), this);
    auto* layout = new QGridLayout(group);
    // The window lives for the whole run: the times start from the run's first values.
    const session::MatchTerms first;
    m_disc = new ColourDisc(group);
    m_disc->setColour(m_context.options.preferredColour);
    connect(m_disc, &ColourDisc::toggled, this, [this](int colour) { m_context.options.preferredColour = colour; });
    m_rated = new QCheckBox(QStringLiteral("Rated"), group);
    m_rated->setChecked(true);
    m_minutes = makeTimeCombo(TimeCombo::Minutes, first.minutes, group);
    m_seconds = makeTimeCombo(TimeCombo::Seconds, first.seconds, group);
    m_odds = new QComboBox(group);
    m_odds->addItems({QStringLiteral("Even Game"), QStringLiteral("1 Knight"), QStringLiteral("2 Knights")});
    m_odds->setCurrentIndex(0);
    layout->addWidget(m_disc, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("My Color"), group), 0, 1);
    layout->addWidget(m_rated, 0, 2);
    layout->addWidget(m_odds, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("Minutes"), group), 1, 0, 1, 2);
    layout->addWidget(m_minutes, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Seconds"), group), 1, 3);
    layout->addWidget(m_seconds, 1, 4);
    return group;
}

void CWhoDlg::setListFont(const QFont& font)
{
    m_listFont = font;
    m_heading->setFont(font);
    m_list->setFont(font);
    // Room for a whole line beside the scroll bar, and the heading over the lines' text.
    const int scrollBar = m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_list->setMinimumWidth(widestLine({QString(QLatin1Char('W')).repeated(kWidestWhoLine)}, font,
                                       2 * m_list->frameWidth() + scrollBar + 8));
    m_heading->setIndent(m_list->frameWidth() + kItemTextMargin);
}

void CWhoDlg::updateWhoList(std::string_view answer, bool slowList)
{
    if (m_rememberedName.empty())
        m_rememberedName = m_context.session.loggedInName;
    m_whoCount = session::parseWhoList(answer, slowList, m_records);
    rebuildWhoList();
}

void CWhoDlg::rebuildWhoList()
{
    const session::WhoOrder order{m_context.options.whoSortKey, m_context.options.whoOpenFirst == 1};
    session::sortWhoRecords(m_records, m_whoCount, order);
    const std::string_view me = m_context.session.loggedInName;
    QStringList lines;
    lines.reserve(m_whoCount);
    for (int i = 0; i < m_whoCount; ++i)
        lines << platform::fromBig5(session::whoListLine(m_records[i]));
    m_imOpen = session::whoImOpen(m_records, m_whoCount, me);
    {
        const QSignalBlocker quiet(m_list); // the selection is set again below
        m_list->clear();
        m_list->addItems(lines);
    }
    selectByName(m_rememberedName);
    setWindowTitle(QStringLiteral("Who Window(%1 players): DoubleClick mouse to match").arg(m_whoCount));
}

void CWhoDlg::selectByName(std::string_view name)
{
    const int row = session::findWhoRecord(m_records, m_whoCount, name);
    if (row < 0)
        return;
    m_list->setCurrentRow(row);
    m_list->scrollToItem(m_list->item(row));
    onSelectionChanged();
}

void CWhoDlg::onSelectionChanged()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_whoCount || !m_list->item(row)->isSelected())
        return;
    const WhoRecord& record = m_records[row];
    m_rememberedName = fieldText(record.name);
    const bool canMatch = session::whoCanMatch(record, m_imOpen, m_context.session.loggedInName);
    m_match->setEnabled(canMatch);
    m_matchExit->setEnabled(canMatch);
    m_observe->setEnabled(session::whoCanObserve(record));
}

const WhoRecord* CWhoDlg::selectedRecord()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_whoCount && m_list->item(row)->isSelected())
        return &m_records[row];
    m_rememberedName.clear();
    m_context.desktop.messageBox(kNoSelection);
    return nullptr;
}

void CWhoDlg::sendFor(WhoCommand command, bool hideAfter)
{
    const WhoRecord* record = selectedRecord();
    if (!record)
        return;
    send(session::whoCommandLine(command, *record));
    if (hideAfter)
        reject();
}

void CWhoDlg::sendMatch(bool hideAfter)
{
    const WhoRecord* record = selectedRecord();
    if (!record)
        return;
    session::MatchTerms terms;
    terms.name = fieldText(record->name);
    terms.rated = m_rated->isChecked() ? 0 : 1;
    terms.odds = std::max(m_odds->currentIndex(), 0);
    terms.colour = m_context.options.preferredColour;
    terms.minutes = comboText(m_minutes);
    terms.seconds = comboText(m_seconds);
    send(session::composeMatchLine(terms) + "\r\n");
    if (hideAfter)
        reject();
}

void CWhoDlg::send(std::string_view line)
{
    session::sendCommand(m_context, line, true, true);
}

void CWhoDlg::showContextMenu(const QPoint& at)
{
    QListWidgetItem* item = m_list->itemAt(at);
    if (!item)
        return;
    const int row = m_list->row(item);
    if (row < 0 || row >= m_whoCount)
        return;
    const std::string name(fieldText(m_records[row].name));
    QMenu menu(this);
    menu.addAction(QStringLiteral("Match Dialog..."), this, [this, name] { emit matchDialogRequested(name); });
    menu.exec(m_list->viewport()->mapToGlobal(at));
}

} // namespace marovin::windows
