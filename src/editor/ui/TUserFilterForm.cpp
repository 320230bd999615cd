#include "TUserFilterForm.h"

#include "TFilterEditForm.h"
#include "foundation/UserMessage.h"
#include "foundation/ui/DialogButtons.h"
#include "imageops/UserFilterFile.h"

#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TUserFilterForm::TUserFilterForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UserFilterForm"));
    setWindowTitle(QStringLiteral("Benutzerdefinierte Filter"));
    execEditor = [](TFilterEditForm& editor) { return editor.exec(); };

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    const DialogButtons buttons =
        makeDialogButtons(*this, {.okText = QStringLiteral("Anwenden"),
                                  .okName = QStringLiteral("ApplyBtn"),
                                  .acceptOnOk = false, // only with a filter chosen
                                  .placement = ButtonPlacement::Column});
    ApplyBtn = buttons.ok;
    CancelBtn = buttons.cancel;
    NewBtn = buttons.add(QStringLiteral("&Neu..."), QStringLiteral("NewBtn"), 12);
    EditBtn = buttons.add(QStringLiteral("B&earbeiten..."), QStringLiteral("EditBtn"));
    DelBtn = buttons.add(QStringLiteral("&Löschen"), QStringLiteral("DelBtn"));
    connect(ApplyBtn, &QPushButton::clicked, this, &TUserFilterForm::ApplyBtnClick);
    connect(NewBtn, &QPushButton::clicked, this, &TUserFilterForm::NewBtnClick);
    connect(EditBtn, &QPushButton::clicked, this, &TUserFilterForm::EditBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TUserFilterForm::DelBtnClick);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TUserFilterForm::ApplyBtnClick);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons.row);
    resize(420, 260);
}

int TUserFilterForm::selectedRow() const {
    const int row = ListBox1->currentRow();
    return ListBox1->currentItem() && ListBox1->currentItem()->isSelected() && row >= 0 &&
                   row < filtanz()
               ? row
               : -1;
}

void TUserFilterForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormActivate();
    }
}

void TUserFilterForm::FormActivate() {
    userfilters::Loaded loaded = userfilters::load(FileName);
    filters = std::move(loaded.filters);
    mayOverwrite_ = loaded.mayOverwrite;
    FillListNew();
    if (filtanz() > 0) {
        ListBox1->setCurrentRow(0);
    }
    if (!loaded.message.isEmpty()) {
        showUserMessage(MessageIcon::Warning, loaded.message);
    }
}

void TUserFilterForm::FillListNew() {
    ListBox1->clear();
    for (const filtertype& f : filters) {
        ListBox1->addItem(imageops::filterName(f));
    }
    ListBox1->setCurrentRow(-1);
}

void TUserFilterForm::ApplyBtnClick() {
    const int row = selectedRow();
    if (row < 0) {
        showUserMessage(MessageIcon::Error, QStringLiteral("Sie haben keinen Filter ausgewählt!"));
        return;
    }
    if (filters[std::size_t(row)].divisor == 0) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Die Division durch 0 ist nicht definiert!"));
        return;
    }
    accept();
}

void TUserFilterForm::NewBtnClick() {
    TFilterEditForm editor(this);
    editor.setFilter(filtertype{});
    if (execEditor(editor) == QDialog::Accepted) {
        filters.push_back(editor.filter());
        FillListNew();
    }
}

void TUserFilterForm::EditBtnClick() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    TFilterEditForm editor(this);
    editor.setFilter(filters[std::size_t(row)]);
    if (execEditor(editor) == QDialog::Accepted) {
        filters[std::size_t(row)] = editor.filter();
        FillListNew();
    }
}

void TUserFilterForm::DelBtnClick() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    if (askUser(MessageIcon::Question,
                QStringLiteral("Sind Sie sicher, dass Sie den Filter löschen möchten?"),
                QStringLiteral("Sicherheitsabfrage")) == UserAnswer::Yes) {
        filters.erase(filters.begin() + row);
        FillListNew();
    }
}

void TUserFilterForm::FormClose() {
    const int row = selectedRow();
    if (row >= 0) {
        choosedf = filters[std::size_t(row)];
    }
    // The damaged file that could not be copied aside stays; the user was told at opening.
    if (mayOverwrite_ && !userfilters::save(FileName, filters)) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Die benutzerdefinierten Filter konnten nicht in „%1“ "
                                       "gespeichert werden. Neue und geänderte Filter gehen "
                                       "daher verloren.")
                            .arg(QDir::toNativeSeparators(FileName)));
    }
    filters.clear();
}

void TUserFilterForm::done(int result) {
    FormClose();
    QDialog::done(result);
}
