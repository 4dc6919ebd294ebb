#include "hints/hint_store.h"
#include "hints/hint_window.h"
#include "messages/msg.h"
#include "support/testdb.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

namespace {
const QColor Grey(209, 209, 205);
const QColor LightRed(255, 128, 128);
const QString Form = QStringLiteral("FrmVornisa"), Ctl = QStringLiteral("cmdHint"),
              Title = QStringLiteral("Vornisa 請求書");

// The colour the button is painted with, sampled off its face beside the caption.
QColor face(QPushButton* b) {
    const QImage img = b->grab().toImage();
    return img.pixelColor(img.width() / 6, img.height() / 2);
}
} // namespace

class TestHintWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> work;
    QPointer<Hint> hint;
    std::vector<msg::Shown> shown;
    QList<QMessageBox::StandardButton> replies; // answers in turn; the box's default once used up

    Hint* open() {
        hint = new Hint(*work, Form, Ctl, Title, nullptr);
        hint->show();
        hint->activateWindow();
        return hint;
    }
    QStringList texts() const {
        QStringList out;
        for (const msg::Shown& s : shown)
            out << s.text;
        return out;
    }

  private slots:
    void init() {
        data = std::make_unique<TestData>();
        work = data->openWork();
        shown.clear();
        replies.clear();
        msg::setAnswerer([this](const msg::Shown& s) {
            shown.push_back(s);
            return replies.isEmpty() ? s.defaultButton : replies.takeFirst();
        });
    }
    void cleanup() {
        delete hint;
        msg::setAnswerer({});
        work.reset();
        data.reset();
    }

    void opensWithLabelsStoredTextAndLocked() {
        EntryHint(*work, Form, Ctl, Title, QStringLiteral("保存済みのメモ"));
        Hint* h = open();
        QCOMPARE(h->windowTitle(), QStringLiteral("ヒント"));
        QVERIFY(h->isWindow());
        QCOMPARE(h->lblFormName->text(), Form);
        QCOMPARE(h->lblCtlName->text(), Ctl);
        QCOMPARE(h->lblFormTitle->text(), Title);
        QCOMPARE(h->txtContents->toPlainText(), QStringLiteral("保存済みのメモ"));
        QVERIFY(h->txtContents->isReadOnly());
        QVERIFY(!h->editing());
        QCOMPARE(face(h->cmd編集), Grey);
        const std::pair<const char*, const char*> buttons[] = {{"cmd登録", "登録"},
                                                               {"cmd削除", "削除"},
                                                               {"cmdクリア", "クリア"},
                                                               {"cmd編集", "編集"},
                                                               {"cmd閉じる", "閉じる"}};
        for (const auto& [name, caption] : buttons) {
            auto* b = h->findChild<QPushButton*>(QString::fromUtf8(name));
            QVERIFY2(b, name);
            QCOMPARE(b->text(), QString::fromUtf8(caption));
        }
        for (const char* name : {"lblFormName", "lblCtlName", "lblFormTitle"})
            QVERIFY2(h->findChild<QLabel*>(QString::fromUtf8(name)), name);
        QCOMPARE(h->findChild<QPlainTextEdit*>("txtContents"), h->txtContents);
        QVERIFY(shown.empty());
    }

    void opensEmptyForAKeyWithoutHint() {
        EntryHint(*work, Form, QStringLiteral("cmdOther"), Title, QStringLiteral("別の項目"));
        QCOMPARE(open()->txtContents->toPlainText(), QString());
    }

    void typingOnlyWhileEditing() {
        Hint* h = open();
        QTest::keyClicks(h->txtContents, "abc");
        QCOMPARE(h->txtContents->toPlainText(), QString());

        QTest::mouseClick(h->cmd編集, Qt::LeftButton);
        QVERIFY(h->editing());
        QVERIFY(!h->txtContents->isReadOnly());
        QCOMPARE(face(h->cmd編集), LightRed);
        QTRY_VERIFY(h->txtContents->hasFocus());
        QTest::keyClicks(h->txtContents, "abc");
        QCOMPARE(h->txtContents->toPlainText(), QStringLiteral("abc"));

        QTest::mouseClick(h->cmd編集, Qt::LeftButton);
        QVERIFY(!h->editing());
        QVERIFY(h->txtContents->isReadOnly());
        QCOMPARE(face(h->cmd編集), Grey);
        QVERIFY(h->txtContents->hasFocus());
        QTest::keyClicks(h->txtContents, "xyz");
        QCOMPARE(h->txtContents->toPlainText(), QStringLiteral("abc"));
    }

    void saveAskedAndNotified() {
        Hint* h = open();
        QTest::mouseClick(h->cmd編集, Qt::LeftButton);
        QTest::keyClicks(h->txtContents, "memo");
        QTest::mouseClick(h->cmd登録, Qt::LeftButton);
        QCOMPARE(texts(), QStringList({"ヒント を登録します。よろしいですか", "ヒント を登録しました。"}));
        QCOMPARE(ReadHint(*work, Form, Ctl), std::optional<QString>("memo"));
        QCOMPARE(work->openRecordset("select * from ClHint")->field("FormTitle"), Value(Title));
        // Saving leaves the box open for more typing.
        QVERIFY(h->editing());
        QVERIFY(!h->txtContents->isReadOnly());
    }

    void saveAnsweredNoWritesNothing() {
        Hint* h = open();
        h->txtContents->setPlainText(QStringLiteral("書きかけ"));
        replies << QMessageBox::No;
        QTest::mouseClick(h->cmd登録, Qt::LeftButton);
        QCOMPARE(texts(), QStringList({"ヒント を登録します。よろしいですか"}));
        QCOMPARE(ReadHint(*work, Form, Ctl), std::nullopt);
    }

    void failedSaveSaysSoAndNotDone() {
        EntryHint(*work, Form, Ctl, Title, QStringLiteral("前のメモ"));
        work->executeRaw(
            QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON ClHint BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        Hint* h = open();
        h->txtContents->setPlainText(QStringLiteral("新しいメモ"));
        QTest::mouseClick(h->cmd登録, Qt::LeftButton);
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(shown[1].icon, QMessageBox::Warning);
        QVERIFY2(shown[1].text.startsWith("ヒントを登録できませんでした。"), qPrintable(shown[1].text));
        QVERIFY2(shown[1].text.contains("disk full"), qPrintable(shown[1].text));
        QCOMPARE(ReadHint(*work, Form, Ctl), std::optional<QString>("前のメモ"));
        QCOMPARE(h->txtContents->toPlainText(), QStringLiteral("新しいメモ"));
    }

    void deleteAskedEmptiesAndNotified() {
        EntryHint(*work, Form, Ctl, Title, QStringLiteral("消すメモ"));
        Hint* h = open();
        replies << QMessageBox::Yes;
        QTest::mouseClick(h->cmd削除, Qt::LeftButton);
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(shown[0].defaultButton, QMessageBox::No);
        QCOMPARE(shown[1].text, QStringLiteral("データ ヒント を削除しました。"));
        QCOMPARE(h->txtContents->toPlainText(), QString());
        QCOMPARE(ReadHint(*work, Form, Ctl), std::nullopt);
        h->close();
        QCOMPARE(open()->txtContents->toPlainText(), QString());
    }

    void deleteDeclinedOrFailedKeepsTheHint() {
        EntryHint(*work, Form, Ctl, Title, QStringLiteral("残るメモ"));
        Hint* h = open();
        QTest::mouseClick(h->cmd削除, Qt::LeftButton); // the default answer is No
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(ReadHint(*work, Form, Ctl), std::optional<QString>("残るメモ"));

        shown.clear();
        work->executeRaw(
            QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON ClHint BEGIN SELECT RAISE(ABORT, 'locked'); END"));
        replies << QMessageBox::Yes;
        QTest::mouseClick(h->cmd削除, Qt::LeftButton);
        QCOMPARE(shown.size(), size_t(2));
        QVERIFY2(shown[1].text.startsWith("ヒントを削除できませんでした。"), qPrintable(shown[1].text));
        QVERIFY(shown[1].text.contains("locked"));
        QCOMPARE(h->txtContents->toPlainText(), QStringLiteral("残るメモ"));
        QCOMPARE(ReadHint(*work, Form, Ctl), std::optional<QString>("残るメモ"));
    }

    void clearAndCloseLeaveTheStoredHint() {
        EntryHint(*work, Form, Ctl, Title, QStringLiteral("保存済み"));
        Hint* h = open();
        QTest::mouseClick(h->cmd編集, Qt::LeftButton);
        QTest::mouseClick(h->cmdクリア, Qt::LeftButton);
        QCOMPARE(h->txtContents->toPlainText(), QString());
        QVERIFY(h->editing()); // clearing keeps the edit state
        QTest::mouseClick(h->cmd閉じる, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(hint.isNull());
        QVERIFY(shown.empty());
        QCOMPARE(ReadHint(*work, Form, Ctl), std::optional<QString>("保存済み"));
        QCOMPARE(open()->txtContents->toPlainText(), QStringLiteral("保存済み"));
    }
};

int runHintWindowTests(int argc, char** argv) {
    TestHintWindow t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_hint_window.moc"
