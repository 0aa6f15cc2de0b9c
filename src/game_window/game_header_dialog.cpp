#include "game_window/game_header_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"

namespace marovin::board {

namespace {

using Form = model::GameHeaderForm;

constexpr const char* kLabels[Form::FieldCount] = {"Red Name", "BlackName", "Subject", "Result", "Place", "Date"};

} // namespace

CGameHeaderDlg::CGameHeaderDlg(const model::CGame& game, model::GameHeaderMemory& memory, QWidget* parent)
    : QDialog(parent), m_form(game, memory), m_marker(new QLabel(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("gameHeaderDialog"));
    setWindowTitle(QStringLiteral("Game Header"));
    auto* fields = new QFormLayout;
    for (int i = 0; i < Form::FieldCount; ++i) {
        const auto field = static_cast<Form::Field>(i);
        auto* edit = new QLineEdit(platform::fromBig5(m_form.value(field)), this);
        edit->setObjectName(QStringLiteral("headerField%1").arg(i));
        edit->setValidator(new platform::Big5LengthValidator(static_cast<int>(Form::maxLength(field)), edit));
        edit->installEventFilter(this);
        edit->setMinimumWidth(field == Form::Subject ? 320 : 200);
        connect(edit, &QLineEdit::textEdited, this, [this, field] { fieldEdited(field); });
        fields->addRow(QString::fromLatin1(kLabels[i]), edit);
        m_fields[static_cast<std::size_t>(i)] = edit;
    }
    m_marker->setObjectName(QStringLiteral("headerMarker"));
    m_marker->setText(QString::fromLatin1(m_form.marker().data(), static_cast<int>(m_form.marker().size())));
    m_marker->setMinimumWidth(12);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // Enter never presses a button here: it moves between the fields.
    for (QPushButton* button : {m_ok, cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* top = new QHBoxLayout;
    top->addLayout(fields);
    top->addWidget(m_marker, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    m_fields[Form::RedName]->setFocus();
}

void CGameHeaderDlg::fieldEdited(Form::Field field)
{
    m_form.setValue(field, platform::toBig5(m_fields[field]->text()));
    const std::string_view marker = m_form.marker();
    m_marker->setText(QString::fromLatin1(marker.data(), static_cast<int>(marker.size())));
}

bool CGameHeaderDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            for (int i = 0; i < Form::FieldCount; ++i) {
                if (m_fields[static_cast<std::size_t>(i)] == watched) {
                    m_form.setFocus(static_cast<Form::Field>(i));
                    m_form.pressEnter();
                    m_fields[m_form.focus()]->setFocus(Qt::TabFocusReason);
                    m_fields[m_form.focus()]->selectAll();
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace marovin::board
