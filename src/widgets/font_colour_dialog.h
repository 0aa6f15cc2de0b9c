#pragma once
// "Font and color": edits one text format (face, size, style, text colour) and a second
// colour (the background), or, in its colour modes, only two colours. A live sample shows
// the result. The board settings use the colour modes, the terminal settings the rest.
//
// Modes: 0 a text format; 1 piece text and piece colour; 2 board lines and board colour;
// 3 the piece cursor colour only; below 0 the font only ("Set All Font").

#include <QDialog>
#include <QSpinBox>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

#include "options/options.h"

class QElapsedTimer;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QRadioButton;
class QTextEdit;

namespace marovin::shell {

constexpr int kFontColourDialogResource = 134;
constexpr int kPaletteColumns = 29;
constexpr int kPaletteRows = 9;
constexpr int kPaletteSize = 256;

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The 256 basic colours: ten system colours, the 216 whose components are multiples of
// 51, twenty greys, and ten more system colours.
const std::array<Rgb, kPaletteSize>& basicPalette();
Colour colourOf(Rgb rgb);

// A height in twips as the size list shows it: whole points, or halves with one decimal
// ("10.5"); nothing for a negative height.
std::string sizeTextOfTwips(std::int32_t twips);

// Steps per spin click for a button held this long: 1, 2 after a second, 5 after two.
int spinAcceleration(std::int64_t heldMilliseconds);

// What is remembered between openings: which colour the RGB fields edit.
struct FontColourMemory {
    bool editTextColour = true;
};

// A spin box whose steps grow while its button or key is held.
class AcceleratedSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;
    void stepBy(int steps) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    std::int64_t m_heldSince = -1; // ms of the process clock when the press began
};

// The "256 Basic Colors" area: 9 rows of 29 cells.
class CPaletteArea : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCell = 12;
    explicit CPaletteArea(QWidget* parent = nullptr);
    // Off: nothing is drawn and clicks do nothing.
    void setActive(bool active);
    bool active() const { return m_active; }
    // The cell under a point, or -1.
    static int cellAt(QPoint point);
    static QRect cellRect(int index);

signals:
    void colourPicked(Rgb rgb);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_active = true;
};

class CFontColourDlg : public QDialog {
    Q_OBJECT
public:
    CFontColourDlg(const TextFormat& format, Colour secondColour, int mode, FontColourMemory& memory,
                   QWidget* parent = nullptr);

    // After OK.
    const TextFormat& format() const { return m_format; }
    Colour secondColour() const { return m_backColour; }

    // The controls, for the settings dialogs' tests.
    QListWidget* fontList() const { return m_fontList; }
    QListWidget* sizeList() const { return m_sizeList; }
    QRadioButton* styleRadio(int index) const { return m_styles[static_cast<std::size_t>(index)]; }
    QRadioButton* colourRadio(int index) const { return m_colourRadios[static_cast<std::size_t>(index)]; }
    QSpinBox* rgbSpin(int index) const { return m_rgb[static_cast<std::size_t>(index)]; }
    CPaletteArea* paletteArea() const { return m_palette; }
    QTextEdit* sample() const { return m_sample; }
    Colour textColour() const { return m_textColour; }
    Colour backColour() const { return m_backColour; }

    void accept() override;

private:
    void buildControls();
    void fillFontList();
    void fillSizeList(const QString& keepSize);
    void selectRecordFace();
    void applyMode();
    void loadRgbFields();
    void setEditedColour(Colour colour);
    void onFontPicked();
    void refreshSample();
    std::uint32_t chosenEffects() const;
    QString chosenFace() const;
    std::int32_t chosenTwips() const;

    TextFormat m_format;
    Colour m_textColour;
    Colour m_backColour;
    int m_mode;
    FontColourMemory& m_memory;
    bool m_loadingRgb = false;

    QListWidget* m_fontList = nullptr;
    QListWidget* m_sizeList = nullptr;
    std::array<QRadioButton*, 3> m_styles{};
    std::array<QRadioButton*, 2> m_colourRadios{};
    std::array<QSpinBox*, 3> m_rgb{};
    QLabel* m_rgbLabel = nullptr;
    CPaletteArea* m_palette = nullptr;
    QTextEdit* m_sample = nullptr;
};

} // namespace marovin::shell
