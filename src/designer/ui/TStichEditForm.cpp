#include "TStichEditForm.h"

#include "editor/ui/TDIBMainForm.h"
#include "foundation/DibCopy.h"
#include "foundation/DrawDib.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewSize = 120;

QLineEdit* makeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(260);
    return edit;
}

} // namespace

TStichEditForm::TStichEditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("StichEditForm"));
    setWindowTitle(QStringLiteral("Stich bearbeiten"));

    Edit1 = makeEdit(this, "Edit1");
    Edit2 = makeEdit(this, "Edit2");
    Memo1 = makeEdit(this, "Memo1");
    Memo2 = makeEdit(this, "Memo2");
    BreiteEd = new QSpinBox(this);
    BreiteEd->setObjectName(QStringLiteral("BreiteEd"));
    BreiteEd->setRange(1, 10);
    BreiteEd->setValue(1);
    BitBtn2 = new QPushButton(QStringLiteral("Bild laden..."), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = new QPushButton(QStringLiteral("Bild bearbeiten..."), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    // Editing needs the image editor window, which is made after this dialog.
    BitBtn3->setEnabled(false);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    PaintBox1 = new TPaintBox(QStringLiteral("PaintBox1"), this);
    PaintBox1->setFixedSize(kPreviewSize, kPreviewSize);
    PaintBox1->paint = [this](QPainter& painter, const QRect&) { PaintBox1Paint(painter); };

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Bezeichnung:"), Edit1);
    Label2 = new QLabel(QStringLiteral("Abkürzung:"), this);
    form->addRow(Label2, Edit2);
    form->addRow(QStringLiteral("Anweisungen für Hinreihe:"), Memo1);
    form->addRow(QStringLiteral("Anweisungen für Rückreihe:"), Memo2);
    form->addRow(QStringLiteral("Breite in Feldern:"), BreiteEd);
    // The abbreviation is carried along but cannot be typed.
    Label2->hide();
    Edit2->hide();

    auto* pictureButtons = new QVBoxLayout;
    pictureButtons->addWidget(BitBtn2);
    pictureButtons->addWidget(BitBtn3);
    pictureButtons->addStretch();
    auto* picture = new QHBoxLayout;
    picture->addWidget(PaintBox1);
    picture->addLayout(pictureButtons);
    picture->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(picture);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &TStichEditForm::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TStichEditForm::BitBtn3Click);
    FormCreate();
}

TStichEditForm::~TStichEditForm() {
    FreeDIB(di);
}

void TStichEditForm::FormCreate() {
    Edit1->setFocus();
}

void TStichEditForm::PaintBox1Paint(QPainter& painter) {
    painter.fillRect(PaintBox1->rect(), palette().window());
    const int pw = DIBWidth(di);
    const int ph = DIBHeight(di);
    if (pw <= 0 || ph <= 0) {
        return;
    }
    // Fill the preview's width, or its height for tall pictures; small pictures are enlarged.
    int w = PaintBox1->width();
    int h = int(std::int64_t(ph) * w / pw);
    if (h > PaintBox1->height()) {
        h = PaintBox1->height();
        w = int(std::int64_t(h) * pw / ph);
    }
    DrawDIB(painter, 0, 0, w, h, di, 0, 0, pw, ph, false);
}

void TStichEditForm::BitBtn2Click() {
    const QString fileName = filedialogs::getOpenFileName(this, QStringLiteral("Bild laden"),
                                                          grafikrw3::GetDIBOpenFilter());
    if (fileName.isEmpty()) {
        return;
    }
    dib loaded;
    grafikrw3::OpenDib(&loaded, fileName);
    if (!loaded.poi) {
        showUserMessage(MessageIcon::Error, QStringLiteral("Fehler beim Laden des Bildes."));
        return;
    }
    FreeDIB(di);
    di = loaded;
    PaintBox1->update();
}

void TStichEditForm::setImageEditor(TDIBMainForm* editor) {
    imageEditor_ = editor;
    BitBtn3->setEnabled(editor != nullptr);
}

void TStichEditForm::BitBtn3Click() {
    if (!imageEditor_) {
        return;
    }
    OwnedDib copy(copyDib(di));
    if (di.poi && !copy) {
        // Opening the editor without the picture would hand back a blank one on closing.
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Fehler: nicht genug Speicher, um das Bild zu bearbeiten! "
                                       "Das Bild des Stichs bleibt unverändert."));
        return;
    }
    imageEditor_->AColTimer1->start();
    imageEditor_->NewWindow(std::move(copy), QStringLiteral("NONAME"));
    imageEditor_->ShowModal();
    // Whatever way the editor was closed, its picture is the stitch's new one.
    OwnedDib edited = imageEditor_->takePicture();
    if (edited) {
        FreeDIB(di);
        di = edited.release();
    }
    PaintBox1->update();
}

void TStichEditForm::setPicture(const dib& picture) {
    FreeDIB(di);
    di = picture;
    PaintBox1->update();
}

dib TStichEditForm::takePicture() {
    const dib picture = di;
    di = dib{};
    return picture;
}

int TStichEditForm::breite() const {
    return BreiteEd->text().trimmed().isEmpty() ? 1 : BreiteEd->value();
}
