#include "windows/match_dialog.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"
#include "widgets/dialog_buttons.h"
#include "windows/match_controls.h"

namespace marovin::windows {

namespace {
constexpr std::string_view kNameEmpty = "Player name is empty.";
}

CMatchDlg::CMatchDlg(session::ClientContext& context, session::LastMatch& last, QWidget* parent)
    : QDialog(parent), m_context(context), m_last(last)
{
    setObjectName(QStringLiteral("matchDialog"));
    setWindowTitle(QStringLiteral("Match Dialog"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* groups = new QGridLayout;
    groups->addWidget(buildPlayerGroup(), 0, 0, 1, 2);
    groups->addWidget(buildColourGroup(), 1, 0);
    groups->addWidget(buildTimeGroup(), 1, 1);
    groups->addWidget(buildOddsGroup(), 2, 0, 1, 2);
    m_lineView = new QLineEdit(this);
    m_lineView->setObjectName(QStringLiteral("matchLine"));
    m_lineView->setReadOnly(true);
    m_lineView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // every blank shows
    QPushButton* ok = makeButton(QStringLiteral("OK"), this);
    QPushButton* exit = makeButton(QStringLiteral("Exit"), this);
    QPushButton* busy = makeButton(platform::fromBig5(session::kBusyReply), this);
    // Enter presses the focused button, and the focus starts on Exit.
    for (QPushButton* button : {ok, exit, busy})
        button->setAutoDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    buttons->addStretch(1);
    buttons->addWidget(busy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(m_lineView);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &CMatchDlg::onOk);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(busy, &QPushButton::clicked, this, &CMatchDlg::onBusy);
    compose();
    exit->setFocus();
}

CMatchDlg::~CMatchDlg()
{
    session::matchDialogClosed(m_last);
}

QWidget* CMatchDlg::buildPlayerGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Play With"), this);
    m_name = new QLineEdit(platform::fromBig5(m_last.terms.name), group);
    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_name->setValidator(new platform::Big5LengthValidator(session::kMatchNameLength, m_name));
    QPushButton* choose = makeButton(QStringLiteral("Choose"), group);
    QPushButton* finger = makeButton(QStringLiteral("Finger"), group);
    QPushButton* alias = makeButton(QStringLiteral("Alias -l"), group);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(m_name, 1);
    layout->addWidget(choose);
    layout->addWidget(finger);
    layout->addWidget(alias);
    connect(m_name, &QLineEdit::textChanged, this, &CMatchDlg::compose);
    connect(choose, &QPushButton::clicked, this, [this] {
        emit chooseRequested();
        reject();
    });
    connect(finger, &QPushButton::clicked, this, [this] {
        if (const auto name = checkedName())
            send("finger " + *name + "\r\n");
    });
    connect(alias, &QPushButton::clicked, this, [this] {
        if (const auto name = checkedName())
            send("alias -l " + *name + "\r\n");
    });
    return group;
}

QWidget* CMatchDlg::buildColourGroup()
{
    auto* group = new QGroupBox(QStringLiteral("My color"), this);
    m_disc = new ColourDisc(group);
    m_disc->setColour(m_last.terms.colour);
    auto* buttons = new QButtonGroup(group);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(m_disc);
    const char* captions[] = {"Rated", "Unrated"};
    for (int i = 0; i < 2; ++i) {
        m_rated[static_cast<std::size_t>(i)] = new QRadioButton(QString::fromLatin1(captions[i]), group);
        buttons->addButton(m_rated[static_cast<std::size_t>(i)], i);
        layout->addWidget(m_rated[static_cast<std::size_t>(i)]);
    }
    m_rated[m_last.terms.rated == 1 ? 1 : 0]->setChecked(true);
    connect(buttons, &QButtonGroup::idClicked, this, &CMatchDlg::compose);
    connect(m_disc, &ColourDisc::toggled, this, &CMatchDlg::compose);
    return group;
}

QWidget* CMatchDlg::buildTimeGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Time"), this);
    m_minutes = makeTimeCombo(TimeCombo::Minutes, m_last.terms.minutes, group);
    m_seconds = makeTimeCombo(TimeCombo::Seconds, m_last.terms.seconds, group);
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QStringLiteral("Total"), group), 0, 0);
    layout->addWidget(m_minutes, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("minutes"), group), 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("Increment"), group), 1, 0);
    layout->addWidget(m_seconds, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("seconds"), group), 1, 2);
    // Typing and picking an item both change the edit text.
    connect(m_minutes, &QComboBox::editTextChanged, this, &CMatchDlg::compose);
    connect(m_seconds, &QComboBox::editTextChanged, this, &CMatchDlg::compose);
    return group;
}

QWidget* CMatchDlg::buildOddsGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Odds"), this);
    auto* buttons = new QButtonGroup(group);
    auto* layout = new QHBoxLayout(group);
    const char* captions[] = {"Even", "1 knight", "2 knights"};
    for (int i = 0; i < 3; ++i) {
        m_odds[static_cast<std::size_t>(i)] = new QRadioButton(QString::fromLatin1(captions[i]), group);
        buttons->addButton(m_odds[static_cast<std::size_t>(i)], i);
        layout->addWidget(m_odds[static_cast<std::size_t>(i)]);
    }
    const int odds = m_last.terms.odds;
    m_odds[static_cast<std::size_t>(odds >= 0 && odds < 3 ? odds : 0)]->setChecked(true);
    connect(buttons, &QButtonGroup::idClicked, this, &CMatchDlg::compose);
    return group;
}

session::MatchTerms CMatchDlg::terms() const
{
    session::MatchTerms terms;
    terms.name = platform::toBig5(m_name->text());
    terms.minutes = comboText(m_minutes);
    terms.seconds = comboText(m_seconds);
    terms.colour = m_disc->colour();
    terms.rated = m_rated[1]->isChecked() ? 1 : 0;
    terms.odds = m_odds[2]->isChecked() ? 2 : (m_odds[1]->isChecked() ? 1 : 0);
    return terms;
}

void CMatchDlg::compose()
{
    if (!m_lineView || !m_seconds)
        return; // still being built
    session::MatchTerms current = terms();
    current.name = session::trimmedPlayerName(current.name).value_or(std::string());
    m_matchLine = session::composeMatchLine(current);
    m_lineView->setText(platform::fromBig5(m_matchLine));
}

std::optional<std::string> CMatchDlg::checkedName()
{
    const QPointer<CMatchDlg> alive(this);
    const std::optional<std::string> typed = platform::toBig5Checked(m_name->text(), m_context.desktop);
    std::optional<std::string> name = typed ? session::trimmedPlayerName(*typed) : std::nullopt;
    if (typed && !name)
        m_context.desktop.messageBox(kNameEmpty);
    if (!name && alive)
        m_name->setFocus();
    return name;
}

void CMatchDlg::onOk()
{
    const std::optional<std::string> name = checkedName();
    if (!name)
        return;
    compose();
    session::MatchTerms accepted = terms();
    accepted.name = *name;
    m_last.terms = accepted;
    send(session::kSetOpenOn);
    send(m_matchLine);
    accept();
}

void CMatchDlg::onBusy()
{
    if (const auto name = session::trimmedPlayerName(platform::toBig5(m_name->text())))
        send(session::busyReplyLine(*name));
    reject();
}

void CMatchDlg::send(std::string_view line)
{
    session::sendCommand(m_context, line, true, true);
}

} // namespace marovin::windows
