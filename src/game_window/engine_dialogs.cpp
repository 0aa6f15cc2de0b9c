#include "game_window/engine_dialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>

#include "widgets/dialog_buttons.h"

namespace marovin::windows {

namespace {

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

EngineSettingsDlg::EngineSettingsDlg(const engine::EngineSettings& settings, DesktopPort& desktop, QWidget* parent)
    : QDialog(parent), m_path(new QLineEdit), m_threads(new QSpinBox), m_hash(new QSpinBox), m_lines(new QSpinBox),
      m_engines(new QSpinBox), m_ranksFromZero(new QCheckBox(tr("Ranks counted from 0 (a0..i9)"))), m_initial(settings),
      m_desktop(desktop)
{
    setObjectName(QStringLiteral("engineSettings"));
    setWindowTitle(tr("Engine Settings"));
    setModal(true);
    m_path->setObjectName(QStringLiteral("enginePath"));
    m_path->setText(QString::fromStdString(settings.path));
    m_path->setPlaceholderText(QString::fromLatin1(engine::kDefaultEngineProgram.data(),
                                                   static_cast<qsizetype>(engine::kDefaultEngineProgram.size())));
    m_threads->setRange(1, engine::kMaxThreads);
    m_threads->setValue(settings.threads);
    m_hash->setRange(1, engine::kMaxHashMegabytes);
    m_hash->setSuffix(tr(" MB"));
    m_hash->setValue(settings.hashMegabytes);
    m_ranksFromZero->setChecked(settings.rankBase == engine::RankBase::FromZero);
    m_lines->setRange(1, engine::kMostLines);
    m_lines->setValue(settings.lines);
    m_lines->setToolTip(tr("How many of the engine's best lines the analysis shows"));
    m_engines->setRange(1, engine::kMostEngineProcesses);
    m_engines->setValue(settings.engines);
    m_engines->setToolTip(tr("How many engines may run at once: the active window's analysis, play in "
                             "other windows and whole-game analyses share them"));

    auto* browse = makeButton(tr("Browse..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, tr("Choose the engine program"));
        if (!file.isEmpty())
            m_path->setText(file);
    });
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Engine program:"), pathRow);
    form->addRow(tr("Threads:"), m_threads);
    form->addRow(tr("Hash:"), m_hash);
    form->addRow(tr("&Lines shown:"), m_lines);
    form->addRow(tr("E&ngines at once:"), m_engines);
    form->addRow(QString(), m_ranksFromZero);
    form->addRow(okCancel(this));
    setMinimumWidth(420);
}

engine::EngineSettings EngineSettingsDlg::settings() const
{
    engine::EngineSettings settings = m_initial;
    settings.path = m_path->text().trimmed().toStdString();
    settings.threads = m_threads->value();
    settings.hashMegabytes = m_hash->value();
    settings.rankBase = m_ranksFromZero->isChecked() ? engine::RankBase::FromZero : engine::RankBase::FromOne;
    settings.lines = m_lines->value();
    settings.engines = m_engines->value();
    return settings;
}

void EngineSettingsDlg::accept()
{
    const engine::EngineSettings entered = settings();
    if (!engine::FindEngineProgram(entered.path)) {
        m_desktop.messageBox(engine::EngineNotFoundMessage(entered.path));
        m_path->setFocus();
        return;
    }
    QDialog::accept();
}

PlayEngineDlg::PlayEngineDlg(const board::EnginePlaySettings& settings, QWidget* parent)
    : QDialog(parent), m_side(new QComboBox), m_seconds(new QSpinBox)
{
    setObjectName(QStringLiteral("playEngine"));
    setWindowTitle(tr("Play Against Engine"));
    setModal(true);
    m_side->addItem(tr("Black"), model::kBlack);
    m_side->addItem(tr("Red"), model::kRed);
    m_side->setCurrentIndex(settings.engineSide == model::kRed ? 1 : 0);
    m_seconds->setRange(1, 600);
    m_seconds->setSuffix(tr(" s"));
    m_seconds->setValue(std::max(1, settings.movetimeMs / 1000));
    auto* form = new QFormLayout(this);
    form->addRow(tr("The engine plays:"), m_side);
    form->addRow(tr("Time per move:"), m_seconds);
    form->addRow(okCancel(this));
}

board::EnginePlaySettings PlayEngineDlg::settings() const
{
    return {m_side->currentData().toInt(), m_seconds->value() * 1000};
}

AnalyseGameDlg::AnalyseGameDlg(const engine::AnalysisSettings& settings, int plies, QWidget* parent)
    : QDialog(parent), m_initial(settings), m_movetime(new QSpinBox), m_fromPly(new QSpinBox),
      m_mainLine(new QRadioButton(tr("&Main line"))), m_wholeTree(new QRadioButton(tr("&Whole tree (every variation)")))
{
    setObjectName(QStringLiteral("analyseGame"));
    setWindowTitle(tr("Analyse Game"));
    setModal(true);
    m_movetime->setObjectName(QStringLiteral("analysisMovetime"));
    m_movetime->setRange(engine::kShortestAnalysisMs, engine::kLongestAnalysisMs);
    m_movetime->setSingleStep(100);
    m_movetime->setSuffix(tr(" ms"));
    m_movetime->setValue(settings.movetimeMs);
    m_fromPly->setObjectName(QStringLiteral("analysisFromPly"));
    m_fromPly->setRange(1, std::max(1, plies));
    m_fromPly->setValue(std::clamp(settings.fromPly, 1, std::max(1, plies)));
    (settings.wholeTree ? m_wholeTree : m_mainLine)->setChecked(true);
    auto* form = new QFormLayout(this);
    form->addRow(tr("&Time per position:"), m_movetime);
    form->addRow(tr("&From move (ply):"), m_fromPly);
    form->addRow(QString(), m_mainLine);
    form->addRow(QString(), m_wholeTree);
    form->addRow(okCancel(this));
}

engine::AnalysisSettings AnalyseGameDlg::settings() const
{
    engine::AnalysisSettings settings = m_initial;
    settings.movetimeMs = m_movetime->value();
    settings.fromPly = m_fromPly->value();
    settings.wholeTree = m_wholeTree->isChecked();
    return settings;
}

} // namespace marovin::windows
