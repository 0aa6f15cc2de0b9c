#include "windows/pgn_game_chooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "model/pgn.h"

namespace marovin::windows {

QString PgnGameTitle(const model::PgnGameText& game, int number)
{
    const auto tag = [&game](const char* name) {
        return QString::fromUtf8(game.tag(name).data(), static_cast<qsizetype>(game.tag(name).size())).simplified();
    };
    QStringList parts;
    const QString red = tag("Red");
    const QString black = tag("Black");
    if (!red.isEmpty() || !black.isEmpty())
        parts << (red.isEmpty() ? QStringLiteral("?") : red) + QStringLiteral(" - ") +
                     (black.isEmpty() ? QStringLiteral("?") : black);
    for (const char* name : {"Event", "Date", "Result"}) {
        const QString value = tag(name);
        if (!value.isEmpty() && value != QLatin1String("?") && value != QLatin1String("????.??.??"))
            parts << value;
    }
    if (parts.isEmpty())
        parts << QStringLiteral("(no tags), line %1").arg(game.line);
    return QStringLiteral("%1. %2").arg(number).arg(parts.join(QStringLiteral(", ")).left(200));
}

PgnGameChooser::PgnGameChooser(const QString& fileName, const QStringList& titles, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Open PGN Games"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1 holds %2 games; the first is open. Choose the others to open:")
                                     .arg(fileName)
                                     .arg(titles.size()),
                                 this));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (qsizetype i = 1; i < titles.size(); ++i) {
        auto* item = new QListWidgetItem(titles[i], m_list);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(520, 360);
}

QList<int> PgnGameChooser::chosen() const
{
    QList<int> indexes;
    for (const QListWidgetItem* item : m_list->selectedItems())
        indexes << item->data(Qt::UserRole).toInt();
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

} // namespace marovin::windows
