// The message boxes carry the caption, text, icon and default button they are asked for.
#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/ui/messageboxservice.h"

namespace aw {

class MessageBoxServiceTest : public QObject {
    Q_OBJECT

private:
    // Answers the next box with `button` once it is shown, after checking what it shows.
    void AnswerNextBox(QMessageBox::StandardButton button, QMessageBox::Icon icon, const QString& text,
                       QMessageBox::StandardButton defaultButton) {
        QTimer::singleShot(0, this, [=] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->icon(), icon);
            QCOMPARE(box->text(), text);
            QCOMPARE(box->windowTitle(), QString("Caption"));
            if (defaultButton != QMessageBox::NoButton)
                QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(defaultButton));
            box->button(button)->click();
        });
    }

private slots:
    void questionsAndMessages() {
        MessageBoxService boxes;
        AnswerNextBox(QMessageBox::No, QMessageBox::Question, "Go on?", QMessageBox::Yes);
        QVERIFY(!boxes.AskYesNo("Go on?", "Caption", MessageIcon::Question, DefaultButton::Yes));
        AnswerNextBox(QMessageBox::Yes, QMessageBox::Warning, "Sure?", QMessageBox::No);
        QVERIFY(boxes.AskYesNo("Sure?", "Caption", MessageIcon::Exclamation, DefaultButton::No));
        AnswerNextBox(QMessageBox::Ok, QMessageBox::Critical, "Failed", QMessageBox::NoButton);
        boxes.Inform("Failed", "Caption", MessageIcon::Stop);
    }
};

} // namespace aw

QTEST_MAIN(aw::MessageBoxServiceTest)
#include "tst_messageboxservice.moc"
