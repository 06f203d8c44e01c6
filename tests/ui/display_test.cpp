// What the window shows: data as it stands (markup never interpreted), file
// names by their bytes (two names never alike, the real file acted on), and
// the desktop's dates and times in Unicode.

#include <sys/stat.h>
#include <utime.h>

#include "ui/qt_prompts.h"
#include "ui/qt_text.h"
#include "window_fixture.h"

using namespace tallix::ui;
using namespace tallix::ui::test;

namespace {

// True when `label` looks exactly as a label that takes its text as plain
// text would look: no markup of the text was interpreted.
bool showsAsItStands(QLabel* label) {
    QLabel plain;
    plain.setTextFormat(Qt::PlainText);
    plain.setFont(label->font());
    plain.setPalette(label->palette());
    plain.setAlignment(label->alignment());
    plain.setWordWrap(label->wordWrap());
    plain.setMargin(label->margin());
    plain.setIndent(label->indent());
    plain.setAutoFillBackground(label->autoFillBackground());
    plain.setText(label->text());
    plain.resize(label->size());
    const auto image = [](QWidget* widget) {
        return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    return image(&plain) == image(label);
}

// The names in a folder, as bytes.
QStringList namesIn(const fs::path& folder) {
    QStringList names;
    for (const auto& e : fs::directory_iterator(folder))
        names << QString::fromLatin1(
            QByteArray::fromStdString(e.path().filename().string()).toHex(' '));
    names.sort();
    return names;
}

QString hexName(const std::string& name) {
    return QString::fromLatin1(QByteArray::fromStdString(name).toHex(' '));
}

// Runs `inspect` on the dialog a prompt opens, then closes it as `finish` does.
template <class Finish>
void whenShown(const std::function<void(QDialog*)>& inspect, Finish finish) {
    QTimer::singleShot(0, [inspect, finish] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            inspect(dialog);
            finish(dialog);
        }
    });
}

} // namespace

class DisplayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // A call sign and file names that look like markup show as they stand,
    // in the labels and in the list alike.
    void markupInDataShowsAsText() {
        Window w({{"Reports/<b>bold.txt", kestLog("ZZ9ZZ")}, {"Reports/a&lt;b.txt", "x"}},
                 "Reports", ";Kest\r\n\r\n\r\n<u>pa3x</u> &amp; <i>q\r\n");
        w.show();
        QCOMPARE(w.entries("File1"), (QStringList{"<b>bold.txt", "a&lt;b.txt"}));
        w.select("a&lt;b.txt");
        QCOMPARE(w.caption("Label5").section('/', -1), "a&lt;b.txt");
        QVERIFY(showsAsItStands(w.get<QLabel>("Label5")));
        w.select("<b>bold.txt");
        QCOMPARE(w.caption("Label5").section('/', -1), "<b>bold.txt");
        w.click("Command2");
        QCOMPARE(w.entries("List1"), QStringList{"ZZ9ZZ"}); // the run read it
        for (const char* label : {"Label2", "Label5", "Label35", "Label22"})
            QVERIFY2(showsAsItStands(w.get<QLabel>(label)), label);
    }

    // The program's message and input boxes show their texts, and their
    // windows their titles, as they stand.
    void promptsShowMarkupAsText() {
        QString text, title;
        bool plain = false;
        whenShown(
            [&](QDialog* box) {
                auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                text = label->text();
                plain = showsAsItStands(label);
                title = box->windowHandle()->title();
            },
            [](QDialog* box) { box->accept(); });
        QtPrompts().message({"Are you sure you want to delete <b>bold.txt ?", "<i>Delete</i> [*]",
                             tallix::base::Buttons::Ok, tallix::base::Icon::None});
        QCOMPARE(text + " | " + title, "Are you sure you want to delete <b>bold.txt ? | "
                                       "<i>Delete</i> [*]");
        QVERIFY(plain);

        QString prompt;
        whenShown(
            [&](QDialog* box) {
                for (QLabel* label : box->findChildren<QLabel*>()) {
                    prompt = label->text();
                    plain = showsAsItStands(label);
                }
                title = box->windowHandle()->title();
            },
            [](QDialog* box) { box->accept(); });
        const std::string answer = QtPrompts().input(
            {"<b>Type</b> the new name:", "Changing call sign <u>pa3x</u> &amp;", "<i>q"});
        QCOMPARE(prompt + " | " + title + " | " + QString::fromStdString(answer),
                 "<b>Type</b> the new name: | Changing call sign <u>pa3x</u> &amp; | <i>q");
        QVERIFY(plain);
    }

    // The file's date and time reach the labels as the desktop's locale gives
    // them, not squeezed through an 8-bit code page.
    void desktopDatesInUnicode() {
        Window w({{"Reports/pass.log", kestLog("ZZ9ZZ")}});
        const std::string path = (w.reports / "pass.log").string();
        QDateTime stamp(QDate(2024, 3, 5), QTime(14, 7, 9));
        const utimbuf times{stamp.toSecsSinceEpoch(), stamp.toSecsSinceEpoch()};
        QCOMPARE(::utime(path.c_str(), &times), 0);
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        w.run("pass.log");
        const QString japanese = QStringLiteral("\u6642\u5206\u79D2"); // hours, minutes, seconds
        for (const char* label : {"Label35", "Label22"}) {
            const QString shown = w.caption(label);
            QVERIFY2(!shown.contains('?'), qPrintable(shown));
            for (const QChar c : japanese)
                QVERIFY2(shown.contains(c), qPrintable(shown));
        }
    }

    // A name that is not UTF-8 and its UTF-8 look-alike: two entries that
    // differ; the odd one is processed, saved over with the overwrite
    // question, renamed and deleted as itself.
    void namesByTheirBytes() {
        const std::string odd = "caf\xE9.log", utf8 = "caf\xC3\xA9.log";
        Window w({{"Reports/" + odd, kestLog("OD1DD")}, {"Reports/" + utf8, kestLog("UT8FF")}});
        const QString oddShown = QStringLiteral("caf\\xE9.log");
        QCOMPARE(w.entries("File1"), (QStringList{QStringLiteral("caf\u00E9.log"), oddShown}));
        const QStringList before = namesIn(w.reports);

        w.select(oddShown);
        QCOMPARE(w.caption("Label5").section('/', -1), oddShown);
        w.click("Command2");
        QCOMPARE(w.entries("List1"), QStringList{"OD1DD"});
        w.prompts.keepProposal = true;
        w.click("Command3");
        QCOMPARE(w.prompts.saveRequests.at(0).initialName, odd);
        QCOMPARE(namesIn(w.reports), before); // no third name
        QCOMPARE(readBytes(w.reports / odd), w.form.processedBytes());

        // Rename: the shown name, typed back, names the same bytes (else the
        // renamed file would not be in the list to select).
        w.select(oddShown);
        w.prompts.inputAnswers = {"caf\\xE9-old"};
        w.click("cmdRename");
        QCOMPARE(QString::fromStdString(w.prompts.inputs.at(0).defaultText), oddShown);
        w.select(QStringLiteral("caf\\xE9-old.log"));
        w.click("Command4");
        QCOMPARE(namesIn(w.reports), QStringList{hexName(utf8)});
        QCOMPARE(w.boxes(),
                 (QStringList{"Tallix: caf\\xE9.log",
                              "File already exists: Do you want to overwrite the file?",
                              "Delete: Are you sure you want to delete caf\\xE9-old.log ?"}));
    }

    // A name that holds a backslash escape as typed text shows it escaped, so
    // that the shown text gives the same bytes back, not another name's.
    void typedEscapeInANameStaysItself() {
        QCOMPARE(fromPath("a\\x41"), QStringLiteral("a\\\\x41"));
        QCOMPARE(toPath(QStringLiteral("a\\\\x41")), std::string("a\\x41"));
    }

    // The real save dialog, answered by a timer: it opens as asked, gives back
    // the name chosen in it (an existing one without an extension as it
    // stands) or the proposal by its bytes, and asks nothing itself.
    void realSaveDialog_data() {
        QTest::addColumn<QByteArray>("proposal");
        QTest::addColumn<QString>("shown"); // in the dialog's name field
        QTest::addColumn<QString>("typed"); // empty: the proposal kept
        QTest::newRow("an existing name without an extension chosen")
            << QByteArray("pass.log") << "pass.log"
            << "noext";
        QTest::newRow("a proposal that is not UTF-8 kept")
            << QByteArray("caf\xE9.log") << "caf\\xE9.log"
            << "";
    }
    void realSaveDialog() {
        QFETCH(QByteArray, proposal);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QTemporaryDir dir;
        const fs::path reports =
            kestFolder(dir, {{"Reports/noext", "x"}, {"Reports/caf\xE9.log", "x"}}, "Reports", "") /
            "Reports";
        QStringList seen;
        whenShown(
            [&](QDialog* box) {
                auto* dialog = qobject_cast<QFileDialog*>(box);
                QVERIFY(dialog);
                seen << dialog->windowTitle() << dialog->nameFilters()
                     << dialog->directory().absolutePath()
                     << dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
                if (!typed.isEmpty())
                    dialog->selectFile(typed);
            },
            [](QDialog* dialog) { dialog->accept(); }); // as the Save button does
        QTimer rescue; // should the dialog ask anything, this ends the wait
        QObject::connect(&rescue, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        rescue.start(3000);
        const auto answer = QtPrompts().saveFile({"Save File",
                                                  {{"Text and Log Files", "*.txt;*.log"},
                                                   {"Log Files (*.log)", "*.log"},
                                                   {"All Files (*.*)", "*.*"}},
                                                  reports.string(),
                                                  proposal.toStdString()});
        QCOMPARE(seen,
                 (QStringList{"Save File", "Text and Log Files (*.txt *.log)", "Log Files (*.log)",
                              "All Files (*)", QString::fromStdString(reports.string()), shown}));
        const std::string chosen = typed.isEmpty() ? proposal.toStdString() : typed.toStdString();
        QCOMPARE(fs::weakly_canonical(answer.value_or("/")), fs::canonical(reports / chosen));
    }
};

QTEST_MAIN(DisplayTest)
#include "display_test.moc"
