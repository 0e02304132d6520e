#pragma once

// Puts the captions and hints of texts.h on the controls, all at once, for a language: at
// start-up and after every switch. Every other text is either the same in both languages
// or picked when it is shown.

#include <QString>
#include <initializer_list>

#include "app/ui/texts.h"
#include "common/language.h"

class QObject;
class QWidget;

namespace kivra::app {

// The control of that name inside `window`, not looking into the other windows it owns,
// so that equal names in different windows (Button1, StaticText5) never mix.
QObject* FindControl(QWidget* window, const QString& name);

// Sets every caption and hint of the table on the controls found in `windows`.
void ApplyCaptions(std::initializer_list<QWidget*> windows, Language language);

// What a caption sets: a button's or label's text, a group's or menu's title, a page's
// tab, a window's title, or a control's tooltip (a hint).
void SetControlText(QObject* control, texts::TextRole role, const QString& text);

}  // namespace kivra::app
