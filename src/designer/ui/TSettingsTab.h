#pragma once

#include "designer/PageSettings.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// The "Einstellungen" tab of the main window. Its controls hold the page options; the page
// renderer and the project file read and write them through PageSettings.
class TSettingsTab : public QWidget {
    Q_OBJECT

public:
    explicit TSettingsTab(QWidget* parent = nullptr);

    PageSettings settings() const;
    void setSettings(const PageSettings& settings);

    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();

    QDoubleSpinBox* BreitEd;
    QDoubleSpinBox* BreitLegendeEd;
    QDoubleSpinBox* RandEd;
    QDoubleSpinBox* PenWidEd;
    QCheckBox* allerechtsCheck;
    QCheckBox* ErsteRechtsCheck;
    QCheckBox* DontShowLinksEd;
    QSpinBox* FirstRowEd;
    QLineEdit* caped;
    QPlainTextEdit* Memo2;
    QPushButton* BitBtn6; // font of row and column numbers
    QPushButton* BitBtn7; // font of the heading
    QPushButton* BitBtn8; // font of the text and the legend
    QCheckBox* LegendeCheck;
    QCheckBox* InstCheck;
    QCheckBox* TessaplanCheck;

    // The fonts chosen with the three font buttons.
    PageFont FontDialog1;
    PageFont FontDialog2;
    PageFont FontDialog3;

signals:
    // A font button's dialog was closed with a new font.
    void fontChanged();

private:
    void chooseFont(PageFont& font, const QString& title);
};
