#include "widgets/font_colour_dialog.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "widgets/font_faces.h"
#include "support/fixed_text.h"

namespace marovin::shell {

namespace {

constexpr std::array<Rgb, 10> kFirstTen = {{{0, 0, 0},
                                            {128, 0, 0},
                                            {0, 128, 0},
                                            {128, 128, 0},
                                            {0, 0, 128},
                                            {128, 0, 128},
                                            {0, 128, 128},
                                            {192, 192, 192},
                                            {192, 220, 192},
                                            {166, 202, 240}}};
constexpr std::array<Rgb, 10> kLastTen = {{{255, 251, 240},
                                           {160, 160, 164},
                                           {128, 128, 128},
                                           {255, 0, 0},
                                           {0, 255, 0},
                                           {255, 255, 0},
                                           {0, 0, 255},
                                           {255, 0, 255},
                                           {0, 255, 255},
                                           {255, 255, 255}}};

constexpr std::array<Rgb, kPaletteSize> makePalette()
{
    std::array<Rgb, kPaletteSize> palette{};
    std::size_t n = 0;
    for (const Rgb& rgb : kFirstTen)
        palette[n++] = rgb;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette[n++] = Rgb{static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                                   static_cast<std::uint8_t>(51 * b)};
    // Twenty greys between black and white, none of them already among the colours above.
    for (int k = 1; k <= 20; ++k) {
        const auto grey = static_cast<std::uint8_t>((255 * k + 10) / 21);
        palette[n++] = Rgb{grey, grey, grey};
    }
    for (const Rgb& rgb : kLastTen)
        palette[n++] = rgb;
    return palette;
}

constexpr std::array<Rgb, kPaletteSize> kPalette = makePalette();

constexpr std::array<int, 16> kScalableSizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 36};

constexpr int kFaceRole = Qt::UserRole;
constexpr int kCharSetRole = Qt::UserRole + 1;
constexpr int kPitchRole = Qt::UserRole + 2;
constexpr int kScalableRole = Qt::UserRole + 3;

std::uint8_t channel(Colour colour, int shift)
{
    return static_cast<std::uint8_t>((colour >> shift) & 0xFF);
}

QString sizeText(double points)
{
    return QString::fromStdString(sizeTextOfTwips(static_cast<std::int32_t>(std::lround(points * 20))));
}

} // namespace

const std::array<Rgb, kPaletteSize>& basicPalette()
{
    return kPalette;
}

Colour colourOf(Rgb rgb)
{
    return static_cast<Colour>(rgb.red) | static_cast<Colour>(rgb.green) << 8 | static_cast<Colour>(rgb.blue) << 16;
}

std::string sizeTextOfTwips(std::int32_t twips)
{
    if (twips < 0)
        return {};
    const std::int64_t tenths = (static_cast<std::int64_t>(twips) + 5) / 10;
    char text[32];
    if (tenths % 2 == 0)
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>((static_cast<std::int64_t>(twips) + 5) / 20));
    else
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(tenths) * 0.5);
    return text;
}

int spinAcceleration(std::int64_t heldMilliseconds)
{
    if (heldMilliseconds >= 2000)
        return 5;
    if (heldMilliseconds >= 1000)
        return 2;
    return 1;
}

// ---- the accelerated spin box ----

namespace {

std::int64_t processMilliseconds()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}

} // namespace

void AcceleratedSpinBox::stepBy(int steps)
{
    const std::int64_t held = m_heldSince < 0 ? 0 : processMilliseconds() - m_heldSince;
    QSpinBox::stepBy(steps * spinAcceleration(held));
}

void AcceleratedSpinBox::mousePressEvent(QMouseEvent* event)
{
    m_heldSince = processMilliseconds();
    QSpinBox::mousePressEvent(event);
}

void AcceleratedSpinBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_heldSince = -1;
    QSpinBox::mouseReleaseEvent(event);
}

void AcceleratedSpinBox::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        m_heldSince = processMilliseconds();
    QSpinBox::keyPressEvent(event);
}

void AcceleratedSpinBox::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        m_heldSince = -1;
    QSpinBox::keyReleaseEvent(event);
}

// ---- the palette ----

CPaletteArea::CPaletteArea(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("palette"));
    setFixedSize(kPaletteColumns * kCell + 1, kPaletteRows * kCell + 1);
    setCursor(Qt::PointingHandCursor);
}

void CPaletteArea::setActive(bool active)
{
    m_active = active;
    update();
}

QRect CPaletteArea::cellRect(int index)
{
    return QRect((index % kPaletteColumns) * kCell, (index / kPaletteColumns) * kCell, kCell, kCell);
}

int CPaletteArea::cellAt(QPoint point)
{
    if (point.x() < 0 || point.y() < 0)
        return -1;
    const int column = point.x() / kCell;
    const int row = point.y() / kCell;
    const int index = row * kPaletteColumns + column;
    return column < kPaletteColumns && row < kPaletteRows && index < kPaletteSize ? index : -1;
}

void CPaletteArea::paintEvent(QPaintEvent*)
{
    if (!m_active)
        return;
    QPainter painter(this);
    painter.setPen(Qt::gray);
    for (int i = 0; i < kPaletteSize; ++i) {
        const Rgb rgb = kPalette[static_cast<std::size_t>(i)];
        const QRect cell = cellRect(i);
        painter.fillRect(cell, QColor(rgb.red, rgb.green, rgb.blue));
        painter.drawRect(cell);
    }
}

void CPaletteArea::mousePressEvent(QMouseEvent* event)
{
    const int index = cellAt(event->position().toPoint());
    if (m_active && index >= 0 && event->button() == Qt::LeftButton)
        emit colourPicked(kPalette[static_cast<std::size_t>(index)]);
}

// ---- the dialog ----

CFontColourDlg::CFontColourDlg(const TextFormat& format, Colour secondColour, int mode, FontColourMemory& memory,
                               QWidget* parent)
    : QDialog(parent), m_format(format), m_textColour(format.textColour), m_backColour(secondColour), m_mode(mode),
      m_memory(memory)
{
    setObjectName(QStringLiteral("fontColourDialog"));
    buildControls();
    fillFontList();
    const std::uint32_t effects = m_format.effects;
    m_styles[(effects & kEffectBold) ? 1 : (effects & kEffectItalic) ? 2 : 0]->setChecked(true);
    selectRecordFace();
    fillSizeList(QString::fromStdString(sizeTextOfTwips(m_format.height)));
    if (m_mode == 3)
        m_memory.editTextColour = true;
    m_colourRadios[m_memory.editTextColour ? 0 : 1]->setChecked(true);
    loadRgbFields();
    applyMode();

    connect(m_fontList, &QListWidget::currentRowChanged, this, &CFontColourDlg::onFontPicked);
    connect(m_sizeList, &QListWidget::currentRowChanged, this, &CFontColourDlg::refreshSample);
    for (QRadioButton* style : m_styles)
        connect(style, &QRadioButton::toggled, this, &CFontColourDlg::refreshSample);
    for (int i = 0; i < 2; ++i)
        connect(m_colourRadios[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on)
                return;
            m_memory.editTextColour = i == 0;
            loadRgbFields();
        });
    for (QSpinBox* spin : m_rgb)
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!m_loadingRgb)
                setEditedColour(colourOf(Rgb{static_cast<std::uint8_t>(m_rgb[0]->value()),
                                             static_cast<std::uint8_t>(m_rgb[1]->value()),
                                             static_cast<std::uint8_t>(m_rgb[2]->value())}));
        });
    connect(m_palette, &CPaletteArea::colourPicked, this, [this](Rgb rgb) {
        setEditedColour(colourOf(rgb));
        loadRgbFields();
    });
    refreshSample();
}

void CFontColourDlg::buildControls()
{
    m_fontList = new QListWidget;
    m_fontList->setObjectName(QStringLiteral("fontList"));
    m_sizeList = new QListWidget;
    m_sizeList->setObjectName(QStringLiteral("sizeList"));
    m_sizeList->setMaximumWidth(70);
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Font")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Size")), 0, 1);
    lists->addWidget(m_fontList, 1, 0);
    lists->addWidget(m_sizeList, 1, 1);

    auto* styleBox = new QGroupBox(QStringLiteral("Style"));
    auto* styleLayout = new QVBoxLayout(styleBox);
    const char* styleTexts[] = {"&Normal", "&Boldface", "&Italic"};
    for (std::size_t i = 0; i < m_styles.size(); ++i) {
        m_styles[i] = new QRadioButton(QString::fromLatin1(styleTexts[i]));
        styleLayout->addWidget(m_styles[i]);
    }
    lists->addWidget(styleBox, 1, 2);

    auto* colourBox = new QWidget;
    auto* colourLayout = new QGridLayout(colourBox);
    colourLayout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < m_colourRadios.size(); ++i) {
        m_colourRadios[i] = new QRadioButton;
        m_colourRadios[i]->setObjectName(QStringLiteral("colourRadio%1").arg(i));
        colourLayout->addWidget(m_colourRadios[i], 0, static_cast<int>(i) * 2, 1, 2);
    }
    m_rgbLabel = new QLabel(QStringLiteral("Adjust RGB"));
    colourLayout->addWidget(m_rgbLabel, 1, 0, 1, 6);
    const char* rgbTexts[] = {"Red", "Green", "Blue"};
    for (std::size_t i = 0; i < m_rgb.size(); ++i) {
        m_rgb[i] = new AcceleratedSpinBox;
        m_rgb[i]->setObjectName(QString::fromLatin1(rgbTexts[i]).toLower());
        m_rgb[i]->setRange(0, 255);
        colourLayout->addWidget(new QLabel(QString::fromLatin1(rgbTexts[i])), 2, static_cast<int>(i) * 2);
        colourLayout->addWidget(m_rgb[i], 2, static_cast<int>(i) * 2 + 1);
    }
    m_palette = new CPaletteArea;
    colourLayout->addWidget(new QLabel(QStringLiteral("256 Basic Colors")), 3, 0, 1, 6);
    colourLayout->addWidget(m_palette, 4, 0, 1, 6);

    m_sample = new QTextEdit;
    m_sample->setObjectName(QStringLiteral("sample"));
    m_sample->setReadOnly(true);
    m_sample->setFixedHeight(60);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(new QLabel(QStringLiteral("Example")));
    layout->addWidget(m_sample);
    layout->addWidget(colourBox);
    layout->addWidget(buttons);
}

void CFontColourDlg::fillFontList()
{
    for (const FontFace& face : installedFontFaces()) {
        auto* item = new QListWidgetItem(face.shownName, m_fontList);
        item->setData(kFaceRole, face.faceName);
        item->setData(kCharSetRole, face.charSet);
        item->setData(kPitchRole, face.pitchAndFamily);
        item->setData(kScalableRole, face.scalable);
    }
    if (m_fontList->count() == 0) {
        const FontFace own = ownFontFace(font());
        auto* item = new QListWidgetItem(own.shownName, m_fontList);
        item->setData(kFaceRole, own.faceName);
        item->setData(kCharSetRole, own.charSet);
        item->setData(kPitchRole, own.pitchAndFamily);
        item->setData(kScalableRole, true);
    }
}

void CFontColourDlg::selectRecordFace()
{
    const QString face = platform::fromBig5(fieldText(m_format.faceName));
    int sameFace = -1;
    for (int row = 0; row < m_fontList->count(); ++row) {
        const QListWidgetItem* item = m_fontList->item(row);
        if (item->data(kFaceRole).toString() != face)
            continue;
        if (item->data(kCharSetRole).toInt() == m_format.charSet) {
            m_fontList->setCurrentRow(row);
            return;
        }
        if (sameFace < 0)
            sameFace = row;
    }
    if (sameFace >= 0)
        m_fontList->setCurrentRow(sameFace);
}

void CFontColourDlg::fillSizeList(const QString& keepSize)
{
    const QSignalBlocker block(m_sizeList);
    m_sizeList->clear();
    const QListWidgetItem* font = m_fontList->currentItem();
    std::vector<double> sizes;
    if (!font || font->data(kScalableRole).toBool()) {
        sizes.assign(kScalableSizes.begin(), kScalableSizes.end());
    } else {
        for (int points : QFontDatabase::pointSizes(font->data(kFaceRole).toString()))
            sizes.push_back(points);
        std::sort(sizes.begin(), sizes.end());
        sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    }
    for (double points : sizes)
        m_sizeList->addItem(sizeText(points));
    if (keepSize.isEmpty()) {
        m_sizeList->setCurrentRow(m_sizeList->count() > 0 ? 0 : -1);
        return;
    }
    const auto found = m_sizeList->findItems(keepSize, Qt::MatchExactly);
    if (!found.isEmpty()) {
        m_sizeList->setCurrentItem(found.front());
        return;
    }
    if (font && !font->data(kScalableRole).toBool()) {
        m_sizeList->setCurrentRow(m_sizeList->count() > 0 ? 0 : -1);
        return;
    }
    // A scalable face takes any size: the record's own size is offered in its place.
    int row = 0;
    while (row < m_sizeList->count() && m_sizeList->item(row)->text().toDouble() < keepSize.toDouble())
        ++row;
    m_sizeList->insertItem(row, keepSize);
    m_sizeList->setCurrentRow(row);
}

void CFontColourDlg::applyMode()
{
    const bool fonts = m_mode <= 0;
    const bool colours = m_mode >= 0;
    m_fontList->setEnabled(fonts);
    m_sizeList->setEnabled(fonts);
    for (QRadioButton* style : m_styles)
        style->setEnabled(fonts);
    struct Captions {
        const char* first;
        const char* second;
    };
    static const Captions kCaptions[] = {{"Set Text Color", "Set Background Color"},
                                         {"Piece Text Color", "Piece Color"},
                                         {"Board Line Color", "Board Color"},
                                         {"Piece Cursor Color", "Board Color"}};
    if (colours) {
        const Captions& captions = kCaptions[std::min(m_mode, 3)];
        m_colourRadios[0]->setText(QString::fromLatin1(captions.first));
        m_colourRadios[1]->setText(QString::fromLatin1(captions.second));
        m_colourRadios[1]->setEnabled(m_mode != 3);
    }
    setWindowTitle(m_mode < 0 ? QStringLiteral("Set All Font")
                   : m_mode == 0 ? QStringLiteral("Font and color")
                                 : QStringLiteral("Set Colors"));
    for (QRadioButton* radio : m_colourRadios)
        radio->setVisible(colours);
    m_rgbLabel->setVisible(colours);
    for (QSpinBox* spin : m_rgb) {
        spin->setEnabled(colours);
        spin->setVisible(colours);
    }
    m_palette->setActive(colours);
}

void CFontColourDlg::loadRgbFields()
{
    const Colour colour = m_colourRadios[0]->isChecked() ? m_textColour : m_backColour;
    m_loadingRgb = true;
    m_rgb[0]->setValue(channel(colour, 0));
    m_rgb[1]->setValue(channel(colour, 8));
    m_rgb[2]->setValue(channel(colour, 16));
    m_loadingRgb = false;
}

void CFontColourDlg::setEditedColour(Colour colour)
{
    if (m_colourRadios[0]->isChecked())
        m_textColour = colour;
    else
        m_backColour = colour;
    refreshSample();
}

void CFontColourDlg::onFontPicked()
{
    const QListWidgetItem* size = m_sizeList->currentItem();
    fillSizeList(size ? size->text() : QString());
    refreshSample();
}

std::uint32_t CFontColourDlg::chosenEffects() const
{
    if (m_styles[1]->isChecked())
        return kEffectBold;
    if (m_styles[2]->isChecked())
        return kEffectItalic;
    return 0;
}

QString CFontColourDlg::chosenFace() const
{
    const QListWidgetItem* item = m_fontList->currentItem();
    return item ? item->data(kFaceRole).toString() : ownFontFace(font()).faceName;
}

std::int32_t CFontColourDlg::chosenTwips() const
{
    const QListWidgetItem* item = m_sizeList->currentItem();
    bool number = false;
    const double points = item ? item->text().toDouble(&number) : 0.0;
    return number && points > 0 && points < 10000 ? static_cast<std::int32_t>(std::lround(points * 20)) : 0;
}

void CFontColourDlg::refreshSample()
{
    const std::int32_t twips = chosenTwips();
    const QListWidgetItem* item = m_fontList->currentItem();
    const bool big5 = item && item->data(kCharSetRole).toInt() == kCharSetBig5;
    QString text = QStringLiteral("%1 %2").arg(twips / 20).arg(chosenFace());
    if (big5)
        text += QStringLiteral(" AaBbYyZz");
    QFont font(chosenFace());
    font.setPixelSize(std::max(1, (twips + 6) / 12));
    font.setBold((chosenEffects() & kEffectBold) != 0);
    font.setItalic((chosenEffects() & kEffectItalic) != 0);
    m_sample->setFont(font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Base, platform::qColour(m_backColour));
    palette.setColor(QPalette::Text, platform::qColour(m_textColour));
    m_sample->setPalette(palette);
    m_sample->setPlainText(text);
}

void CFontColourDlg::accept()
{
    const QListWidgetItem* item = m_fontList->currentItem();
    const FontFace own = ownFontFace(font());
    copyBounded(m_format.faceName, platform::toBig5(item ? item->data(kFaceRole).toString() : own.faceName));
    m_format.charSet = static_cast<std::uint8_t>(item ? item->data(kCharSetRole).toInt() : own.charSet);
    m_format.pitchAndFamily = static_cast<std::uint8_t>(item ? item->data(kPitchRole).toInt() : own.pitchAndFamily);
    m_format.height = chosenTwips();
    m_format.effects = chosenEffects();
    m_format.textColour = m_textColour;
    QDialog::accept();
}

} // namespace marovin::shell
