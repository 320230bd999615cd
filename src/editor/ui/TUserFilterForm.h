#pragma once

#include "imageops/FilterType.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

class QListWidget;
class QPushButton;
class TFilterEditForm;

// "Benutzerdefinierte Filter": the list of the user's filters, read from FileName when the
// dialog is shown and written back when it closes, whichever way it closes. After OK,
// `choosedf` is the filter to apply.
class TUserFilterForm : public QDialog {
    Q_OBJECT

public:
    explicit TUserFilterForm(QWidget* parent = nullptr);

    QString FileName;                // set before the dialog is shown
    std::vector<filtertype> filters; // in list order, while the dialog is open
    filtertype choosedf;             // the filter selected when the dialog closed

    int filtanz() const { return int(filters.size()); }

    void FormActivate(); // reads the file, fills the list, selects the first filter
    void FormClose();    // takes the choice and writes the file
    void FillListNew();  // the names in list order, nothing selected
    void ApplyBtnClick();
    void NewBtnClick();
    void EditBtnClick();
    void DelBtnClick();

    // How the filter editor is shown; tests put their own steps here.
    std::function<int(TFilterEditForm&)> execEditor;

    QListWidget* ListBox1;
    QPushButton* ApplyBtn;
    QPushButton* CancelBtn;
    QPushButton* NewBtn;
    QPushButton* EditBtn;
    QPushButton* DelBtn;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int selectedRow() const;

    bool mayOverwrite_ = true; // false for a damaged file that could not be copied aside
};
