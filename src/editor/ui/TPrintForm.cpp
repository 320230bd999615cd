#include "TPrintForm.h"

#include "foundation/DrawDib.h"
#include "foundation/ui/DialogButtons.h"
#include "foundation/ui/TPaintBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPreviewSize = 190;

QSpinBox* percentField(QWidget* parent, const char* name) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setRange(1, 100);
    field->setValue(50);
    return field;
}

} // namespace

TPrintForm::TPrintForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PrintForm"));
    setWindowTitle(QStringLiteral("Bild drucken..."));

    auto* previewLabel = new QLabel(QStringLiteral("Vorschau:"), this);
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    PrintPaintBox = new TPaintBox(QStringLiteral("PrintPaintBox"), Panel1);
    PrintPaintBox->setFixedSize(kPreviewSize, kPreviewSize);
    PrintPaintBox->paint = [this](QPainter& painter, const QRect&) { PrintPaintBoxPaint(painter); };
    panelLayout->addWidget(PrintPaintBox);

    GroupBox1 = new QGroupBox(QStringLiteral("Druckgröße"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    UseFullCheck = new QRadioButton(QStringLiteral("Seite voll nutzen"), GroupBox1);
    UseFullCheck->setObjectName(QStringLiteral("UseFullCheck"));
    UseFullCheck->setChecked(true);
    UserdefCheck = new QRadioButton(QStringLiteral("Benutzerdefiniert"), GroupBox1);
    UserdefCheck->setObjectName(QStringLiteral("UserdefCheck"));
    BreitEdit = percentField(GroupBox1, "BreitEdit");
    HochEdit = percentField(GroupBox1, "HochEdit");
    auto* sizes = new QGridLayout(GroupBox1);
    sizes->addWidget(UseFullCheck, 0, 0, 1, 2);
    sizes->addWidget(UserdefCheck, 1, 0, 1, 2);
    sizes->addWidget(new QLabel(QStringLiteral("Breite in %:"), GroupBox1), 2, 0);
    sizes->addWidget(BreitEdit, 2, 1);
    sizes->addWidget(new QLabel(QStringLiteral("Höhe in %:"), GroupBox1), 3, 0);
    sizes->addWidget(HochEdit, 3, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Druckoptionen"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    SverhCheck = new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), GroupBox2);
    SverhCheck->setObjectName(QStringLiteral("SverhCheck"));
    SverhCheck->setChecked(true);
    ZentrCheck = new QCheckBox(QStringLiteral("Zentrierte Ausgabe"), GroupBox2);
    ZentrCheck->setObjectName(QStringLiteral("ZentrCheck"));
    ZentrCheck->setChecked(true);
    auto* options = new QVBoxLayout(GroupBox2);
    options->addWidget(SverhCheck);
    options->addWidget(ZentrCheck);

    const DialogButtons buttons =
        makeDialogButtons(*this, {.okText = QStringLiteral("&OK"),
                                  .cancelText = QStringLiteral("A&bbrechen"),
                                  .okName = QStringLiteral("OkBitBtn1"),
                                  .cancelName = QStringLiteral("CancelBitBtn2"),
                                  .placement = ButtonPlacement::Apart,
                                  .onlyOkIsDefault = true});
    OkBitBtn1 = buttons.ok;
    CancelBitBtn2 = buttons.cancel;
    PrintSetupBtn =
        buttons.add(QStringLiteral("Drucker &einrichten..."), QStringLiteral("PrintSetupBtn"));

    auto* left = new QVBoxLayout;
    left->addWidget(previewLabel);
    left->addWidget(Panel1);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox1);
    right->addWidget(GroupBox2);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons.row);

    // The options only change the preview; choosing the percentages derives the height.
    connect(UseFullCheck, &QRadioButton::clicked, PrintPaintBox, qOverload<>(&QWidget::update));
    connect(SverhCheck, &QCheckBox::clicked, PrintPaintBox, qOverload<>(&QWidget::update));
    connect(ZentrCheck, &QCheckBox::clicked, PrintPaintBox, qOverload<>(&QWidget::update));
    connect(UserdefCheck, &QRadioButton::clicked, this, &TPrintForm::UserdefCheckClick);
    connect(UseFullCheck, &QRadioButton::toggled, this, &TPrintForm::enableSizes);
    connect(BreitEdit, &QSpinBox::valueChanged, this, &TPrintForm::BreitEditChange);
    connect(HochEdit, &QSpinBox::valueChanged, this, &TPrintForm::HochEditChange);
    connect(PrintSetupBtn, &QPushButton::clicked, this, &TPrintForm::PrintSetupBtnClick);
    enableSizes();
}

PrintChoice TPrintForm::choice() const {
    return {UseFullCheck->isChecked(), BreitEdit->value(), HochEdit->value(),
            SverhCheck->isChecked(), ZentrCheck->isChecked()};
}

void TPrintForm::setChoice(const PrintChoice& c) {
    const QSignalBlocker blockWidth(BreitEdit);
    const QSignalBlocker blockHeight(HochEdit);
    UseFullCheck->setChecked(c.fullPage);
    UserdefCheck->setChecked(!c.fullPage);
    BreitEdit->setValue(c.breit);
    HochEdit->setValue(c.hoch);
    SverhCheck->setChecked(c.keepAspect);
    ZentrCheck->setChecked(c.centre);
    PrintPaintBox->update();
}

QSize TPrintForm::pictureSize() const {
    return di ? QSize(DIBWidth(*di), DIBHeight(*di)) : QSize();
}

QSize TPrintForm::page() const {
    return pageSize ? pageSize() : QSize();
}

void TPrintForm::enableSizes() {
    // The percentages count only for "Benutzerdefiniert".
    BreitEdit->setEnabled(UserdefCheck->isChecked());
    HochEdit->setEnabled(UserdefCheck->isChecked());
}

void TPrintForm::PrintPaintBoxPaint(QPainter& painter) {
    const QSize box = PrintPaintBox->size();
    // The desk around the page.
    painter.fillRect(QRect(QPoint(0, 0), box), PrintPaintBox->palette().color(QPalette::Mid));
    const QRect paper = previewPage(page(), box);
    if (paper.isEmpty()) {
        return;
    }
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    painter.drawRect(paper);
    if (!di || !di->poi) {
        return;
    }
    const QRect at = printPlacement(pictureSize(), paper.size(), choice());
    if (!at.isEmpty()) {
        DrawDIB(painter, paper.x() + at.x(), paper.y() + at.y(), at.width(), at.height(), *di, 0, 0,
                DIBWidth(*di), DIBHeight(*di), false);
    }
}

void TPrintForm::UserdefCheckClick() {
    if (UserdefCheck->isChecked()) {
        BreitEditChange();
    }
    PrintPaintBox->update();
}

void TPrintForm::setDerived(QSpinBox* field, double value) {
    // The field keeps the value within 1 to 100.
    const QSignalBlocker block(field);
    field->setValue(int(std::clamp(std::trunc(value), -1e9, 1e9)));
}

void TPrintForm::BreitEditChange() {
    // One field's handler may run the other's once, when the derived value did not fit: the
    // other side is then derived back from the limited value, and both stand still.
    if (SverhCheck->isChecked() && linking_ < 2) {
        ++linking_;
        const double x = heightPercentFor(BreitEdit->value(), pictureSize(), page());
        setDerived(HochEdit, x);
        if (x > 100 || x < 1) {
            HochEditChange();
        }
        --linking_;
    }
    PrintPaintBox->update();
}

void TPrintForm::HochEditChange() {
    if (SverhCheck->isChecked() && linking_ < 2) {
        ++linking_;
        const double x = widthPercentFor(HochEdit->value(), pictureSize(), page());
        setDerived(BreitEdit, x);
        if (x > 100 || x < 1) {
            BreitEditChange();
        }
        --linking_;
    }
    PrintPaintBox->update();
}

void TPrintForm::PrintSetupBtnClick() {
    if (printerSetup) {
        printerSetup();
    }
    PrintPaintBox->update();
}
