#pragma once
// Push buttons made and found by their captions, for the list windows and dialogs.

#include <QPushButton>
#include <QString>
#include <QWidget>

namespace marovin::windows {

// A button that does not take Enter for itself (Enter belongs to the focused control).
inline QPushButton* makeButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    return button;
}

// The first push button of window whose caption is caption, or null.
inline QPushButton* findButton(const QWidget* window, const QString& caption)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == caption)
            return button;
    return nullptr;
}

} // namespace marovin::windows
