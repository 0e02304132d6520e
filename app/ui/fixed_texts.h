#pragma once

// The captions and hints that the language switch resets all at once. The table in
// fixed_texts.cpp is complete: every other text is either the same in both languages or
// picked when it is shown.

#include <QString>
#include <initializer_list>
#include <span>

#include "app/ui/texts.h"

class QObject;
class QWidget;

namespace kivra::app {

enum class TextRole { Caption, Hint };

struct FixedText {
  const char* control;  // objectName
  TextRole role;
  Bilingual text;
};

std::span<const FixedText> FixedTexts();

// The control of that name inside `window`, not looking into the other windows it owns,
// so that equal names in different windows (Button1, StaticText5) never mix.
QObject* FindControl(QWidget* window, const QString& name);

// Sets every text of the table on the controls found in `windows`.
void ApplyFixedTexts(std::initializer_list<QWidget*> windows, bool english);

// What a row of the table sets: a button's or label's text, a group's or menu's title, a
// page's tab, a window's title, or a tool button's tooltip.
void SetControlText(QObject* control, TextRole role, const QString& text);
QString ControlText(const QObject* control, TextRole role);

}  // namespace kivra::app
