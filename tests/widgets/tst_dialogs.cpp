#include "dialogs/DlgYesNo.h"
#include "dialogs/FInfo.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

// Drives the real modal dialogs: a queued action acts on the active modal
// widget once exec() has shown it. A watchdog ends a dialog nobody answered.
class TestDialogs : public QObject {
    Q_OBJECT

    static void whenModal(const std::function<void(QWidget*)>& action)
    {
        QTimer::singleShot(0, qApp, [action] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal != nullptr);
            action(modal);
        });
    }

    static void watchdog(QDialog& dlg)
    {
        QTimer::singleShot(10000, &dlg, [&dlg] {
            if (dlg.isVisible())
                dlg.done(-1);
        });
    }

private Q_SLOTS:
    void answersFromKeysAndButtons_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter right after opening answers Ja") << "enter" << true << 6;
        QTest::newRow("Return right after opening answers Ja") << "return" << true << 6;
        QTest::newRow("Escape answers no") << "escape" << false << 2;
        QTest::newRow("close box answers no") << "close" << false << 2;
        QTest::newRow("Ja button") << "ja" << true << 6;
        QTest::newRow("Nein button") << "nein" << false << 2;
    }
    void answersFromKeysAndButtons()
    {
        QFETCH(QString, how);
        QFETCH(bool, expected);
        QFETCH(int, result);

        QWidget main;
        main.resize(400, 300);
        main.show();
        TFDlgYesNo dlg(&main);
        QString focusedAtOpen;
        whenModal([&](QWidget* modal) {
            QCOMPARE(modal, &dlg);
            QVERIFY(QTest::qWaitForWindowActive(modal));
            QWidget* focus = QApplication::focusWidget();
            focusedAtOpen = focus ? focus->objectName() : QString();
            if (how == QLatin1String("enter"))
                QTest::keyClick(focus ? focus : modal, Qt::Key_Enter);
            else if (how == QLatin1String("return"))
                QTest::keyClick(focus ? focus : modal, Qt::Key_Return);
            else if (how == QLatin1String("escape"))
                QTest::keyClick(focus ? focus : modal, Qt::Key_Escape);
            else if (how == QLatin1String("close"))
                modal->close();
            else
                modal->findChild<QPushButton*>(how == QLatin1String("ja") ? "OKBtn" : "CancelBtn")->click();
        });
        watchdog(dlg);
        QCOMPARE(dlg.ask(QStringLiteral("Zeile löschen ?")), expected);
        QCOMPARE(dlg.result(), result);
        QCOMPARE(focusedAtOpen, QStringLiteral("OKBtn"));
        QVERIFY(!dlg.isVisible());
    }

    void hookAnswersInOrderWithoutShowing()
    {
        TFDlgYesNo dlg;
        QSignalSpy asked(&dlg, &TFDlgYesNo::questionAsked);
        dlg.setNextAnswers({true, false});
        QVERIFY(dlg.ask(QStringLiteral("Beenden?")));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(TFDlgYesNo::ResultYes));
        QVERIFY(!dlg.ask(QStringLiteral("Zeitenprotokoll  löschen ?")));
        QCOMPARE(dlg.result(), int(TFDlgYesNo::ResultCancel));
        QCOMPARE(dlg.pendingAnswers(), 0);
        QCOMPARE(asked.count(), 2);
        QCOMPARE(asked.at(0).at(0).toString(), QStringLiteral("Beenden?"));
        QCOMPARE(asked.at(1).at(0).toString(), QStringLiteral("Zeitenprotokoll  löschen ?"));
    }

    void hookEmptyFallsBackToThePerson()
    {
        // Once the queue is used up, the dialog is shown again.
        TFDlgYesNo dlg;
        dlg.setNextAnswers({false});
        QVERIFY(!dlg.ask(QStringLiteral("Beenden?")));
        whenModal([](QWidget* modal) { modal->findChild<QPushButton*>("OKBtn")->click(); });
        watchdog(dlg);
        QVERIFY(dlg.ask(QStringLiteral("Beenden?")));
    }

    void questionStaysUntilTheNextCaller()
    {
        TFDlgYesNo dlg;
        auto* label = dlg.findChild<QLabel*>("Label1");
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("?"));
        dlg.setNextAnswers({true});
        dlg.ask(QStringLiteral("Möchten Sie Standard Einstellungen verwenden?"));
        QCOMPARE(label->text(), QStringLiteral("Möchten Sie Standard Einstellungen verwenden?"));
        QVERIFY(label->wordWrap());
    }

    void questionIsPlainText()
    {
        // A question is shown as written, never interpreted as markup.
        TFDlgYesNo dlg;
        dlg.setNextAnswers({false});
        dlg.ask(QStringLiteral("<b>Zeile</b> löschen ?"));
        QCOMPARE(dlg.findChild<QLabel*>("Label1")->textFormat(), Qt::PlainText);
    }

    void yesNoDialogWindowKind()
    {
        QApplication::setApplicationDisplayName(QStringLiteral("Acker Klassik"));
        TFDlgYesNo dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Acker Klassik"));
        QVERIFY(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        QVERIFY(dlg.findChild<QLabel*>("Icon")->pixmap().width() > 0);
    }

    void dialogsCentreOnTheirParent_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QRect>("mainGeometry");
        QTest::addColumn<bool>("centred");
        const QRect normal(100, 80, 809, 551);
        const QRect offTopLeft(-700, -500, 809, 551);
        QTest::newRow("information on the main window") << "info" << normal << true;
        QTest::newRow("yes/no on the main window") << "yesno" << normal << true;
        QTest::newRow("yes/no kept on screen when the main window hangs off it")
            << "yesno" << offTopLeft << false;
        QTest::newRow("information kept on screen when the main window hangs off it")
            << "info" << offTopLeft << false;
    }
    void dialogsCentreOnTheirParent()
    {
        QFETCH(QString, which);
        QFETCH(QRect, mainGeometry);
        QFETCH(bool, centred);
        QWidget main;
        main.setGeometry(mainGeometry);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        std::unique_ptr<QDialog> dlg;
        if (which == QLatin1String("info"))
            dlg = std::make_unique<TFormInfo>(&main);
        else
            dlg = std::make_unique<TFDlgYesNo>(&main);
        dlg->open();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        const QRect area = main.screen()->availableGeometry();
        if (centred) {
            const QPoint delta = dlg->frameGeometry().center() - main.frameGeometry().center();
            QVERIFY2(delta.manhattanLength() <= 4,
                     qPrintable(QStringLiteral("off by %1,%2").arg(delta.x()).arg(delta.y())));
        } else {
            QVERIFY2(area.contains(dlg->geometry().topLeft()), "dialog left the screen");
        }
        dlg->done(0);
    }

    void informationContents()
    {
        TFormInfo info;
        QCOMPARE(info.windowTitle(), QStringLiteral("Information"));
        QCOMPARE(info.size(), QSize(259, 340));
        QCOMPARE(info.minimumSize(), info.maximumSize());
        QCOMPARE(info.findChild<QLabel*>("Label1")->text(), QStringLiteral("Ackerklassik"));
        QCOMPARE(info.findChild<QLabel*>("LabelVer")->text(), QStringLiteral("Version 0.90 (21.05.2007)"));
        QCOMPARE(info.findChild<QLabel*>("Image1")->size(), QSize(240, 60));
        QCOMPARE(info.findChild<QLabel*>("ImageICON")->size(), QSize(32, 32));
        auto* ok = info.findChild<QPushButton*>("sOK");
        QCOMPARE(ok->size(), QSize(113, 28));
        QCOMPARE(ok->geometry().center().x(), 259 / 2);
        QVERIFY(ok->geometry().bottom() < 340);
    }

    void informationClosesOnOkAndEscape_data()
    {
        QTest::addColumn<bool>("useEscape");
        QTest::newRow("OK button") << false;
        QTest::newRow("Escape key") << true;
    }
    void informationClosesOnOkAndEscape()
    {
        QFETCH(bool, useEscape);
        TFormInfo info;
        whenModal([&](QWidget* modal) {
            if (useEscape)
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                modal->findChild<QPushButton*>("sOK")->click();
        });
        watchdog(info);
        info.exec();
        QVERIFY(!info.isVisible());
        QVERIFY(info.result() != -1);
    }

    // With AK_SCREENSHOT_DIR set, writes pictures of both dialogs there.
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("AK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("AK_SCREENSHOT_DIR not set");
        TFormInfo info;
        info.show();
        QVERIFY(info.grab().save(dir + QStringLiteral("/finfo.png")));
        TFDlgYesNo yesNo;
        yesNo.setNextAnswers({true});
        yesNo.ask(QStringLiteral("Zeitenprotokoll  löschen ?"));
        yesNo.show();
        QVERIFY(yesNo.grab().save(dir + QStringLiteral("/dlgyesno.png")));
        yesNo.setNextAnswers({true});
        yesNo.ask(QStringLiteral("Möchten Sie Standard Einstellungen verwenden?"));
        QVERIFY(yesNo.grab().save(dir + QStringLiteral("/dlgyesno_long.png")));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
