#pragma once
// The terminal window's view. For now it paints the output background only; the line
// ring, drawing, scrolling and selection come with the terminal.

#include <QWidget>

#include "shell/options.h"

namespace marovin::shell {

class COutputView : public QWidget {
    Q_OBJECT
public:
    COutputView(const Options& options, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Options& m_options;
};

} // namespace marovin::shell
