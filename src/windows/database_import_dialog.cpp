#include "windows/database_import_dialog.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace marovin::windows {

// Passes the import's news to the dialog's thread; asked from the import's thread.
class ImportDialog::Port : public database::ImportPort {
public:
    Port(ImportDialog& dialog, std::atomic<bool>& cancel) : m_dialog(&dialog), m_cancel(cancel) {}
    void progress(const database::ImportProgress& progress) override
    {
        QMetaObject::invokeMethod(m_dialog, [dialog = m_dialog, progress] { dialog->showProgress(progress); },
                                  Qt::QueuedConnection);
    }
    void badGame(const database::BadGame& bad) override
    {
        QMetaObject::invokeMethod(m_dialog, [dialog = m_dialog, bad] { dialog->showBadGame(bad); },
                                  Qt::QueuedConnection);
    }
    bool cancelled() override { return m_cancel.load(); }

private:
    ImportDialog* m_dialog;
    std::atomic<bool>& m_cancel;
};

ImportDialog::ImportDialog(const QString& databasePath, const QStringList& paths, QWidget* parent)
    : QDialog(parent), m_file(new QLabel), m_bar(new QProgressBar), m_counts(new QLabel),
      m_problems(new QPlainTextEdit), m_button(new QPushButton(tr("Cancel")))
{
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(tr("Import Games into %1").arg(QFileInfo(databasePath).fileName()));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_bar->setRange(0, 1000);
    m_problems->setReadOnly(true);
    m_problems->setPlaceholderText(tr("Games that cannot be imported are listed here."));
    m_file->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_file);
    layout->addWidget(m_bar);
    layout->addWidget(m_counts);
    layout->addWidget(m_problems, 1);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_done)
            accept();
        else
            stop();
    });
    resize(460, 260);

    m_port = std::make_unique<Port>(*this, m_cancel);
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(QFile::encodeName(path).toStdString());
    const std::string database = QFile::encodeName(databasePath).toStdString();
    m_worker = std::thread([this, database, files] {
        database::ImportResult result;
        std::string error;
        if (auto db = database::GameDatabase::open(database, error))
            result = database::ImportGames(*db, files, *m_port);
        else
            result.error = error;
        QMetaObject::invokeMethod(this, [this, result] { showResult(result); }, Qt::QueuedConnection);
    });
}

ImportDialog::~ImportDialog()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

void ImportDialog::reject()
{
    // Closing the window while it works cancels the import, which then closes it.
    if (!m_done) {
        stop();
        return;
    }
    QDialog::reject();
}

void ImportDialog::stop()
{
    m_cancel = true;
    m_button->setEnabled(false);
    m_file->setText(tr("Cancelling..."));
}

QString ImportDialog::countsText() const
{
    return m_counts->text();
}

QString ImportDialog::problemsText() const
{
    return m_problems->toPlainText();
}

void ImportDialog::showProgress(const database::ImportProgress& p)
{
    if (m_done || m_cancel)
        return;
    m_file->setText(tr("File %1 of %2: %3")
                        .arg(p.filesDone + 1 > p.filesTotal ? p.filesTotal : p.filesDone + 1)
                        .arg(p.filesTotal)
                        .arg(QFile::decodeName(p.file.c_str())));
    if (p.bytesTotal > 0)
        m_bar->setValue(static_cast<int>(1000.0 * static_cast<double>(p.bytesDone) / static_cast<double>(p.bytesTotal)));
    m_counts->setText(tr("%1 games added, %2 already stored, %3 bad").arg(p.added).arg(p.duplicates).arg(p.bad));
}

void ImportDialog::showBadGame(const database::BadGame& bad)
{
    QString where = QFile::decodeName(bad.file.c_str());
    if (bad.line > 0)
        where += QStringLiteral(":%1").arg(bad.line);
    if (bad.game > 0)
        where += tr(", game %1").arg(bad.game);
    m_problems->appendPlainText(where + QStringLiteral(": ") + QString::fromUtf8(bad.reason.c_str()));
}

void ImportDialog::showResult(const database::ImportResult& result)
{
    if (m_worker.joinable())
        m_worker.join();
    m_done = true;
    m_bar->setValue(m_bar->maximum());
    if (!result.error.empty())
        m_file->setText(tr("Nothing was added: %1").arg(QString::fromUtf8(result.error.c_str())));
    else if (result.cancelled)
        m_file->setText(tr("Cancelled: the database is as it was before."));
    else
        m_file->setText(tr("Done."));
    m_counts->setText(tr("%1 games added, %2 already stored, %3 bad")
                          .arg(result.added)
                          .arg(result.duplicates)
                          .arg(result.bad));
    m_button->setText(tr("Close"));
    m_button->setEnabled(true);
    emit importEnded(result.added);
    if (result.cancelled)
        accept();
}

} // namespace marovin::windows
