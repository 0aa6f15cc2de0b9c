#pragma once
// ImportDialog ("Import Games"): pours files and folders into a game database while the
// program goes on working. The import runs on a thread of its own with a connection of its
// own; the dialog shows the file being read, a progress bar, the games added and skipped
// and every game left out (file, game, line, why). Cancel ends it with the database as it
// was before; closing the dialog does the same.

#include <QDialog>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

#include "database/game_import.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace marovin::windows {

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // Starts importing paths into the database file at databasePath at once.
    ImportDialog(const QString& databasePath, const QStringList& paths, QWidget* parent = nullptr);
    ~ImportDialog() override;

    bool running() const { return m_worker.joinable() && !m_done; }
    QProgressBar* progressBar() const { return m_bar; }
    QString countsText() const;
    QString problemsText() const;
    QPushButton* button() const { return m_button; }

signals:
    // The import ended; added games are in the database (none when it was cancelled or failed).
    void importEnded(qint64 added);

protected:
    void reject() override;

private:
    class Port;
    void showProgress(const database::ImportProgress& progress);
    void showBadGame(const database::BadGame& bad);
    void showResult(const database::ImportResult& result);
    void stop();

    QLabel* m_file;
    QProgressBar* m_bar;
    QLabel* m_counts;
    QPlainTextEdit* m_problems;
    QPushButton* m_button;
    std::atomic<bool> m_cancel{false};
    bool m_done = false;
    std::unique_ptr<Port> m_port;
    std::thread m_worker;
};

} // namespace marovin::windows
