#include "TestSupport.h"

#include "editor/ui/TFilterEditForm.h"
#include "editor/ui/TUserFilterForm.h"
#include "imageops/UserFilterFile.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

filtertype named(const QString& name, std::int32_t divisor, std::int32_t centre) {
    filtertype f;
    imageops::setFilterName(f, name);
    f.divisor = divisor;
    f.matrix[12] = centre;
    return f;
}

// Shows the dialog, runs `steps` while it is open and returns how it ended.
int runShown(TUserFilterForm& form, std::function<void()> steps) {
    QTimer::singleShot(0, &form, std::move(steps));
    return form.exec();
}

TEST(UserFilterForm, FirstUseHasNothingToApplyAndLeavesAnEmptyFile) {
    QTemporaryDir dir;
    MessageCapture messages;
    TUserFilterForm form;
    form.FileName = dir.filePath(QStringLiteral("UserFilt.dat"));
    bool stayedOpen = false;
    const int result = runShown(form, [&] {
        EXPECT_EQ(form.ListBox1->count(), 0);
        form.ApplyBtn->click();
        stayedOpen = form.isVisible();
        form.close(); // the close box
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Sie haben keinen Filter ausgewählt!")});
    EXPECT_EQ(fileBytes(form.FileName), userfilters::toBytes({}));
    EXPECT_EQ(fileBytes(form.FileName).size(), 8);
}

TEST(UserFilterForm, NewEditDeleteAndApplyKeepTheFileInStep) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UserFilt.dat"));
    writeFile(path, userfilters::toBytes({named(QStringLiteral("Erster"), 1, 1),
                                          named(QStringLiteral("Zweiter"), 3, 2)}));
    MessageCapture messages;
    QuestionScript answers({UserAnswer::No, UserAnswer::Yes});
    TUserFilterForm form;
    form.FileName = path;
    // The editor's fields are filled as a user would and confirmed with its own OK button.
    std::function<void(TFilterEditForm&)> typing;
    form.execEditor = [&](TFilterEditForm& editor) {
        typing(editor);
        editor.OkBtn->click();
        return editor.result();
    };
    const int result = runShown(form, [&] {
        EXPECT_EQ(form.ListBox1->currentRow(), 0); // the first filter is selected

        typing = [](TFilterEditForm& e) {
            EXPECT_EQ(e.filter().divisor, 1); // a new filter starts neutral
            e.NameEdit->setText(QStringLiteral("Dritter"));
            e.SpinEdit[20]->setValue(-4);
            e.DivEdit->setValue(7);
        };
        form.NewBtn->click();
        EXPECT_EQ(form.ListBox1->item(2)->text(), QStringLiteral("Dritter"));
        form.ApplyBtn->click(); // nothing selected after the list was refilled
        EXPECT_TRUE(form.isVisible());

        form.ListBox1->setCurrentRow(1);
        typing = [](TFilterEditForm& e) {
            EXPECT_EQ(e.NameEdit->text(), QStringLiteral("Zweiter"));
            EXPECT_EQ(e.SpinEdit[12]->value(), 2);
            e.BiasEdit->setValue(-9);
        };
        form.EditBtn->click();

        form.ListBox1->setCurrentRow(0);
        form.DelBtn->click(); // "No"
        EXPECT_EQ(form.filtanz(), 3);
        form.ListBox1->setCurrentRow(0);
        form.DelBtn->click(); // "Yes"
        EXPECT_EQ(form.filtanz(), 2);

        form.ListBox1->setCurrentRow(1);
        form.ApplyBtn->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(imageops::filterName(form.choosedf), QStringLiteral("Dritter"));
    EXPECT_EQ(form.choosedf.matrix[20], -4);
    EXPECT_EQ(form.choosedf.divisor, 7);
    const QString question =
        QStringLiteral("Sicherheitsabfrage|Sind Sie sicher, dass Sie den Filter löschen möchten?");
    EXPECT_EQ(answers.asked(), (QStringList{question, question}));
    filtertype second = named(QStringLiteral("Zweiter"), 3, 2);
    second.bias = -9;
    EXPECT_EQ(fileBytes(path), userfilters::toBytes({second, form.choosedf}));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Sie haben keinen Filter ausgewählt!")});
}

TEST(UserFilterForm, ADamagedFileIsReportedAndOnlyReplacedOnceCopiedAside) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UserFilt.dat"));
    const QByteArray sound = userfilters::toBytes({named(QStringLiteral("Gut"), 2, 1)});
    const QByteArray damaged = sound.left(4) + QByteArray("\x02\0\0\0", 4) + sound.mid(8) +
                               sound.mid(8, 100); // claims two, holds one and a bit
    writeFile(path, damaged);
    {
        MessageCapture messages;
        TUserFilterForm form;
        form.FileName = path;
        runShown(form, [&] {
            EXPECT_EQ(form.filtanz(), 1);
            form.reject();
        });
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("1 von 2")));
        EXPECT_EQ(fileBytes(path), sound);
        EXPECT_EQ(fileBytes(path + QStringLiteral(".beschaedigt")), damaged);
    }
    // with no copy possible the damaged file stays as it is
    writeFile(path, damaged);
    QFile::remove(path + QStringLiteral(".beschaedigt"));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral(".beschaedigt/x")));
    MessageCapture messages;
    TUserFilterForm form;
    form.FileName = path;
    runShown(form, [&] { form.reject(); });
    EXPECT_EQ(fileBytes(path), damaged);
}

TEST(UserFilterForm, AFileThatCannotBeWrittenIsReported) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("kein-ordner")), "x");
    MessageCapture messages;
    TUserFilterForm form;
    form.FileName = dir.filePath(QStringLiteral("kein-ordner/UserFilt.dat"));
    runShown(form, [&] { form.reject(); });
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].startsWith(
        QStringLiteral("Die benutzerdefinierten Filter konnten nicht in")));
}

TEST(FilterEditForm, FieldsRunColumnByColumnAndBadValuesAreRefused) {
    TFilterEditForm editor;
    editor.show();
    const QPoint topLeft = editor.SpinEdit[0]->pos();
    EXPECT_EQ(editor.SpinEdit[4]->x(), topLeft.x()); // bottom left
    EXPECT_GT(editor.SpinEdit[4]->y(), topLeft.y());
    EXPECT_EQ(editor.SpinEdit[20]->y(), topLeft.y()); // top right
    EXPECT_GT(editor.SpinEdit[20]->x(), topLeft.x());
    for (int k = 0; k < 25; ++k) {
        editor.SpinEdit[std::size_t(k)]->setValue(1000 * k - 7);
    }
    for (int k = 0; k < 25; ++k) {
        EXPECT_EQ(editor.filter().matrix[k], 1000 * k - 7);
    }

    // A divisor outside the field's usual range survives opening and confirming.
    filtertype f = named(QStringLiteral("Weit"), -300, 1);
    editor.setFilter(f);
    EXPECT_EQ(editor.filter().divisor, -300);

    MessageCapture messages;
    editor.NameEdit->clear();
    editor.DivEdit->setValue(0);
    editor.OkBtn->click();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(messages.texts(),
              (QStringList{QStringLiteral("Sie müssen einen Namen eingeben!"),
                           QStringLiteral("Die Division durch 0 ist nicht definiert!")}));
    EXPECT_EQ(editor.NameEdit->maxLength(), imageops::kFilterNameReadUnits);
}

} // namespace
