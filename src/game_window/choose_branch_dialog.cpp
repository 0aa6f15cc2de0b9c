#include "game_window/choose_branch_dialog.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <array>

#include "board/glyph_sets.h"
#include "platform/big5_text.h"
#include "support/paths.h"

namespace marovin::board {

namespace {

constexpr int kPictureRole = Qt::UserRole + 1; // the row's piece type
constexpr int kRowWithoutPicture = 40;
constexpr int kTextGap = 3;

// Rows drawn by hand: the picture at the left edge, the text 3 pixels right of it,
// vertically centred; the selection and focus as the style draws them.
class BranchRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const QImage& picture = pictureOf(index.data(kPictureRole).toInt());
        int textLeft = option.rect.left();
        if (!picture.isNull()) {
            painter->drawImage(QPoint(option.rect.left(), option.rect.top()), picture);
            textLeft += picture.width();
        }
        textLeft += kTextGap;
        const QRect textRect(textLeft, option.rect.top(), option.rect.right() - textLeft, option.rect.height());
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(textRect.adjusted(0, 0, -1, -1));
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QImage& picture = pictureOf(index.data(kPictureRole).toInt());
        const int width = (picture.isNull() ? 0 : picture.width()) + kTextGap +
                          option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 8;
        return QSize(width, picture.isNull() ? kRowWithoutPicture : picture.height());
    }

private:
    // Each picture is read when a row first needs it.
    const QImage& pictureOf(int type) const
    {
        static const QImage none;
        if (type < 0 || type >= model::kPieceTypeCount)
            return none;
        auto& slot = m_pictures[static_cast<std::size_t>(type)];
        if (!slot.loaded) {
            slot.image = CChooseBranchDlg::piecePicture(type);
            slot.loaded = true;
        }
        return slot.image;
    }

    struct Slot {
        QImage image;
        bool loaded = false;
    };
    mutable std::array<Slot, model::kPieceTypeCount> m_pictures;
};

} // namespace

QImage CChooseBranchDlg::piecePicture(int type)
{
    QImage image(QString::fromStdString(assetFolder()) + piecePicturePath(type));
    if (image.isNull())
        return image;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF)
                row[x] = 0;
    }
    return image;
}

CChooseBranchDlg::CChooseBranchDlg(const std::vector<model::BranchRow>& rows, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("chooseBranchDialog"));
    setWindowTitle(QStringLiteral("Choose Branch"));
    m_list->setObjectName(QStringLiteral("branchList"));
    m_list->setItemDelegate(new BranchRowDelegate(m_list));
    for (const model::BranchRow& row : rows) {
        auto* item = new QListWidgetItem(platform::fromBig5(row.text), m_list);
        item->setData(kPictureRole, row.pieceType);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    m_list->setFocus();
}

std::optional<int> CChooseBranchDlg::chosenRow() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return std::max(0, m_list->currentRow());
}

void CChooseBranchDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_pointerBefore) {
        m_pointerBefore = QCursor::pos();
        QCursor::setPos(m_ok->mapToGlobal(m_ok->rect().center()));
    }
}

void CChooseBranchDlg::done(int result)
{
    if (m_pointerBefore)
        QCursor::setPos(*m_pointerBefore);
    QDialog::done(result);
}

} // namespace marovin::board
