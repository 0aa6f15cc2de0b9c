#pragma once
// The tell window: a modeless chat window created hidden at start-up. For now an empty
// frame that shows, hides and keeps its place; the conversation comes with its own work.

#include <QDialog>

namespace marovin::shell {

constexpr int kTellWindowResource = 211;

class CTellWindow : public QDialog {
    Q_OBJECT
public:
    explicit CTellWindow(QWidget* parent = nullptr);
};

} // namespace marovin::shell
