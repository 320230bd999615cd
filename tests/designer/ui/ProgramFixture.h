#pragma once

#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TStichEditForm.h"

#include "LibraryFile.h"
#include "ModalDialogs.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <memory>

// The whole program, started afresh on an empty stitch library that is removed again after.
// (Without a library file it would start with the standard stitches.)
class ProgramFixture : public ::testing::Test {
protected:
    MessageCapture messages;
    std::unique_ptr<ProgramWindows> windows;

    void SetUp() override {
        writeEmptyLibrary();
        start();
    }
    void TearDown() override {
        windows.reset();
        QFile::remove(libraryPath());
    }
    // Starts the program anew; it finds the library file the last run left.
    virtual TMainForm& start() {
        windows.reset();
        windows = std::make_unique<ProgramWindows>();
        windows->create({QStringLiteral("tessaplan-designer")});
        return main();
    }
    TMainForm& main() { return *windows->MainForm; }
    TStichEditForm& editor() { return *windows->StichEditForm; }

    // Adds a stitch through "Hinzufügen..." and the stitch editor; without a picture it keeps
    // the editor's empty one.
    void addStitch(const QString& name, int breite, const dib& picture) {
        whenShown(&editor(), [this, name, breite, picture] {
            editor().Edit1->setText(name);
            editor().Memo1->setText(QStringLiteral("rechts"));
            editor().BreiteEd->setValue(breite);
            if (picture.poi) {
                editor().setPicture(picture);
            }
            editor().accept();
        });
        main().BitBtn1Click();
    }
};
