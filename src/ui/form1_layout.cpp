// The main window's looks that the form cannot hold: fonts of fractional
// point sizes, the system's highlight and window colours, the frames' title
// colour, pictures drawn at their size, the pointing hand, the window's
// title and border, the popup menu and the indicator's timer.

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include "app/host_folders.h"
#include "base/message_box.h"
#include "ui/classic_looks.h"
#include "ui/clickable_label.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/widget_helpers.h"
#include "ui_form1.h"

namespace tallix::ui {

void Form1::completeLooks() {
    setWindowTitle(QString::fromLatin1(base::WindowTitle));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_ui->Image1->setPixmap(QIcon(QStringLiteral(":/pictures/product-name.svg")).pixmap(141, 34));
    m_ui->Picture2->setPixmap(QIcon(QStringLiteral(":/icons/page-magnifier.svg")).pixmap(32, 32));
    for (QWidget* pointing :
         {static_cast<QWidget*>(m_ui->Image1), static_cast<QWidget*>(m_ui->Label2)})
        pointing->setCursor(pointingHandCursor());

    // "Courier New" 8.25, "Arial" 6.75 and "MS Sans Serif" 8.25 bold.
    for (QAbstractScrollArea* pane : {static_cast<QAbstractScrollArea*>(m_ui->Text1),
                                      static_cast<QAbstractScrollArea*>(m_ui->Text2)})
        pane->setFont(monoFont());
    // The panes only show texts: no undo history of what the program put there.
    for (QTextDocument* document : {m_ui->Text1->document(), m_ui->Text2->document()}) {
        document->setDefaultFont(monoFont());
        document->setUndoRedoEnabled(false);
    }
    for (QWidget* small :
         {static_cast<QWidget*>(m_ui->File1), static_cast<QWidget*>(m_ui->Label36),
          static_cast<QWidget*>(m_ui->lblFileSize), static_cast<QWidget*>(m_ui->Label37),
          static_cast<QWidget*>(m_ui->lbldate)})
        small->setFont(sansFont(6.75));
    m_ui->Label2->setFont(sansFont(8.25, true));

    const QColor highlight = palette().color(QPalette::Highlight);
    for (QLabel* caption : {m_ui->Label6,
                            m_ui->lblSize_0,
                            m_ui->Label35,
                            m_ui->Label11,
                            m_ui->Label12,
                            m_ui->Label7,
                            m_ui->totalLineProcessed,
                            m_ui->Label33,
                            m_ui->Label36,
                            m_ui->Label37,
                            m_ui->Label1,
                            m_ui->Label10,
                            m_ui->Label23,
                            m_ui->Label13,
                            m_ui->Label9,
                            m_ui->Label17,
                            m_ui->Label15,
                            m_ui->Label3,
                            m_ui->Label25,
                            m_ui->Label27,
                            m_ui->Label31,
                            m_ui->Label29,
                            m_ui->Label20})
        setTextColour(caption, highlight);
    setBackground(m_ui->Picture1, palette().color(QPalette::Base));
    for (TitledFrame* frame : {m_ui->Frame1, m_ui->Frame2, m_ui->Frame3})
        frame->setTitleColour(QColor(0, 0, 192));
    // A check box fills with the button colour unless told otherwise; Sort
    // shows the heard list's colour all over.
    m_ui->Check2->setBackgroundRole(QPalette::Window);
    // The folder choices stand 13 pixels apart.
    fitOptionIndicators(this, {m_ui->Option1_0, m_ui->Option1_3, m_ui->Option1_1, m_ui->Option1_2},
                        11);
    sizeLabelsToText(this);

    heardMenu_ = new QMenu(QStringLiteral("Copy heard"), this);
    heardMenu_->setObjectName(QStringLiteral("menucopyheard"));
    QAction* copyHeard = heardMenu_->addAction(QStringLiteral("Copy List To Clipboard"));
    copyHeard->setObjectName(QStringLiteral("menucopyheard1"));
    connect(copyHeard, &QAction::triggered, this, &Form1::onCopyHeardTriggered);

    indicatorTimer_ = new QTimer(this);
    indicatorTimer_->setObjectName(QStringLiteral("Timer1"));
    indicatorTimer_->setInterval(1000);
}

} // namespace tallix::ui
