#include "app/ui/captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

#include "app/ui/ui_language.h"

namespace kivra::app {
namespace {

using texts::TextRole;

QString WithAltLetter(Control control, const QString& text, Language language) {
  for (const texts::AltLetter& letter : texts::kAltLetters) {
    if (letter.control != control) continue;
    const qsizetype at = text.indexOf(ToQString(texts::Pick(letter.before, language)));
    if (at < 0) break;
    QString marked = text;
    marked.insert(at, QLatin1Char('&'));
    return marked;
  }
  return text;
}

QObject* FindIn(QObject* parent, const QString& name) {
  for (QObject* child : parent->children()) {
    // Other windows keep their own names; menus are popups of this window.
    if (auto* widget = qobject_cast<QWidget*>(child);
        widget && widget->isWindow() && !qobject_cast<QMenu*>(widget)) {
      continue;
    }
    if (child->objectName() == name) return child;
    if (QObject* found = FindIn(child, name)) return found;
  }
  return nullptr;
}

QTabWidget* TabWidgetOf(const QWidget* page) {
  // A page sits in the tab widget's internal stack.
  const QWidget* stack = page->parentWidget();
  return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

}  // namespace

QObject* FindControl(QWidget* window, const QString& name) {
  if (window->objectName() == name) return window;
  return FindIn(window, name);
}

void ApplyCaptions(std::initializer_list<QWidget*> windows, Language language) {
  for (const texts::Caption& row : texts::kCaptions) {
    const QString name = ObjectName(row.control);
    const QString text = ToQString(texts::Pick(row.text, language));
    for (QWidget* window : windows) {
      if (!window) continue;  // a window this system does not have
      if (QObject* control = FindControl(window, name)) {
        const bool menu = qobject_cast<QAction*>(control) || qobject_cast<QMenu*>(control);
        SetControlText(control, row.role, menu ? WithAltLetter(row.control, text, language) : text);
        break;
      }
    }
  }
}

void SetControlText(QObject* control, TextRole role, const QString& text) {
  if (role == TextRole::Hint) {
    if (auto* widget = qobject_cast<QWidget*>(control)) widget->setToolTip(text);
    return;
  }
  if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(text);
  } else if (auto* menu = qobject_cast<QMenu*>(control)) {
    menu->setTitle(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* widget = qobject_cast<QWidget*>(control)) {
    if (QTabWidget* tabs = TabWidgetOf(widget)) {
      tabs->setTabText(tabs->indexOf(widget), text);
    } else if (widget->isWindow()) {
      widget->setWindowTitle(text);
    }
  }
}

}  // namespace kivra::app
