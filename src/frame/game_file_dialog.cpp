#include "frame/game_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace marovin::windows {

namespace {

const QString kGameFilter = QStringLiteral("Game files (*.gam)");
const QString kPgnFilter = QStringLiteral("PGN files (*.pgn)");
const QString kAllFilter = QStringLiteral("All files (*)");

// The extension a name typed without one takes under filter.
QString suffixOf(const QString& filter)
{
    if (filter == kPgnFilter)
        return QStringLiteral("pgn");
    if (filter == kGameFilter)
        return QStringLiteral("gam");
    return {};
}

} // namespace

QStringList gameFileFilters()
{
    return {kGameFilter, kPgnFilter, kAllFilter};
}

QString gameFileFolder(const QString& lastPath, const QString& documents)
{
    if (!lastPath.isEmpty()) {
        const QFileInfo last(lastPath);
        const QString folder = last.isDir() ? last.absoluteFilePath() : last.absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QDir(documents.isEmpty() ? QDir::homePath() : documents).filePath(QStringLiteral("Games"));
}

QString proposedSavePath(const QString& filePath, const QString& subject, const QString& folder)
{
    if (!filePath.isEmpty())
        return filePath;
    QString name = subject.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (name.isEmpty())
        name = QStringLiteral("game");
    return QDir(folder).filePath(name + QStringLiteral(".gam"));
}

std::unique_ptr<QFileDialog> makeGameFileDialog(QWidget* parent, const QString& title, const QString& start,
                                                bool forSaving)
{
    const QFileInfo info(start);
    const QString folder = forSaving || !info.isDir() ? info.absolutePath() : info.absoluteFilePath();
    QDir().mkpath(folder);
    auto dialog = std::make_unique<QFileDialog>(parent, title, folder);
    dialog->setNameFilters(gameFileFilters());
    if (!forSaving) {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFiles);
        return dialog;
    }
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    const QString suffix = info.suffix().toLower();
    const QString filter = suffix == QLatin1String("pgn") ? kPgnFilter
                           : suffix == QLatin1String("gam") || suffix.isEmpty() ? kGameFilter
                                                                                : kAllFilter;
    dialog->selectNameFilter(filter);
    dialog->setDefaultSuffix(suffixOf(filter));
    QFileDialog* raw = dialog.get();
    QObject::connect(raw, &QFileDialog::filterSelected, raw,
                     [raw](const QString& chosen) { raw->setDefaultSuffix(suffixOf(chosen)); });
    dialog->selectFile(info.fileName());
    return dialog;
}

} // namespace marovin::windows
