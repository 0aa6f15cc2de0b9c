#include "windows/merge_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "support/ports.h"

namespace marovin::windows {

CMergeGameDlg::CMergeGameDlg(Options& options, DesktopPort& desktop, const QString& lastPath, QWidget* parent)
    : QDialog(parent), m_options(options), m_desktop(desktop), m_chooser(new QFileDialog(this)),
      m_from(new QPushButton(QStringLiteral("From File(s)"), this)),
      m_to(new QPushButton(QStringLiteral("To File(s)"), this)),
      m_appendNotes(new QCheckBox(QStringLiteral("Append Move-Note"), this))
{
    setObjectName(QStringLiteral("mergeGameWindow"));
    setWindowTitle(QString::fromLatin1(kMergeTitle));
    // The chooser lives inside this window: the program's own one, so that it can be.
    m_chooser->setOption(QFileDialog::DontUseNativeDialog);
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setFileMode(QFileDialog::ExistingFiles);
    m_chooser->setNameFilter(QStringLiteral("All Files (*.*)"));
    if (!lastPath.isEmpty()) {
        const QFileInfo last(lastPath);
        m_chooser->setDirectory(last.absolutePath());
        m_chooser->selectFile(last.fileName());
    }
    if (auto* box = m_chooser->findChild<QDialogButtonBox*>()) {
        if (QPushButton* open = box->button(QDialogButtonBox::Open))
            open->hide();
    }
    // Cancel or Escape inside the chooser closes the whole window without a direction.
    connect(m_chooser, &QFileDialog::rejected, this, &QDialog::reject);
    connect(m_chooser, &QFileDialog::accepted, this, [this] { m_chooser->show(); }); // Enter: not a direction

    m_appendNotes->setChecked(m_options.mergeAppendNotes != 0);
    connect(m_appendNotes, &QCheckBox::toggled, this, [this](bool on) { m_options.mergeAppendNotes = on ? 1 : 0; });
    connect(m_from, &QPushButton::clicked, this, [this] { choose(-1); });
    connect(m_to, &QPushButton::clicked, this, [this] { choose(+1); });

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_from);
    choices->addWidget(m_to);
    choices->addStretch(1);
    choices->addWidget(m_appendNotes);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    layout->addLayout(choices);
}

void CMergeGameDlg::choose(int direction)
{
    QStringList files;
    for (const QString& file : m_chooser->selectedFiles())
        if (QFileInfo(file).isFile())
            files << file;
    if (files.isEmpty()) {
        m_desktop.messageBox("Please select files first!");
        return;
    }
    m_files = files;
    m_direction = direction;
    accept();
}

} // namespace marovin::windows
