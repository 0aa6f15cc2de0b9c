#pragma once
// Typing any text into a widget, Chinese included (QTest's own typing takes ASCII only).
// For GUI tests that link Qt's test library.

#include <QString>
#include <QTest>
#include <QWidget>

namespace marovin::testkit {

inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void typeText(QWidget* widget, const char* utf8)
{
    typeText(widget, QString::fromUtf8(utf8));
}

} // namespace marovin::testkit
