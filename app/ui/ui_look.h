#pragma once

// Colours, fonts and the few building blocks every window of the shell is made of. The
// windows are laid out in fixed pixel positions, so the blocks take a rectangle.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

namespace kivra::app::look {

inline constexpr QColor kRed{255, 0, 0};
inline constexpr QColor kLime{0, 255, 0};
// The classic scroll-bar grey: indicators that are off, the listing's background.
inline constexpr QColor kScrollBar{200, 200, 200};
inline constexpr QColor kEditorBackground{255, 213, 170};
inline constexpr QColor kActiveCaption{153, 180, 209};
inline constexpr QColor kButtonShadow{160, 160, 160};
inline constexpr QColor kHighlightText{255, 255, 255};
inline constexpr QColor kOlive{128, 128, 0};

QColor ButtonFace();

// The live plots' traces, one colour each, in their order: analog 1, analog 2, the
// temperature, inputs 1 to 6, outputs 1 and 2. No two alike, none the grey of an indicator
// that is off, all readable on white.
inline constexpr QColor kTraceColours[] = {
    {31, 119, 180},  {255, 127, 14}, {214, 39, 40},  {44, 160, 44}, {148, 103, 189}, {140, 86, 75},
    {227, 119, 194}, {188, 189, 34}, {23, 190, 207}, {0, 0, 139},   {0, 128, 128},
};

// The window font (11 pixels high) and the fixed-pitch font of the editors.
QFont UiFont();
QFont FixedFont(int pixelHeight);
QFont BoldFont(int pixelHeight);

// A caption at a fixed place.
QLabel* AddLabel(QWidget* parent, const QString& objectName, const QString& text, const QRect& rect,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A value box: a sunken frame holding a short text.
QLabel* AddValueBox(QWidget* parent, const QString& objectName, const QString& text,
                    const QRect& rect, const QColor& background);

// A titled frame; the language switch sets its title.
QGroupBox* AddGroup(QWidget* parent, const QString& objectName, const QRect& rect);

void SetBackground(QWidget* widget, const QColor& colour);

}  // namespace kivra::app::look
