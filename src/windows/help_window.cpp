#include "windows/help_window.h"

#include <QFile>
#include <QVBoxLayout>

namespace marovin::windows {

CHelpWindow::CHelpWindow(const std::string& path, QWidget* parent) : QDialog(parent), m_text(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Marovin Help"));
    setModal(false);
    m_text->setObjectName(QStringLiteral("helpText"));
    m_text->setOpenExternalLinks(true);
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::ReadOnly))
        m_text->setMarkdown(QString::fromUtf8(file.readAll()));
    else
        m_text->setPlainText(QStringLiteral("The help text is missing: %1 cannot be read (%2).")
                                 .arg(QString::fromStdString(path), file.errorString()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    resize(640, 560);
}

} // namespace marovin::windows
