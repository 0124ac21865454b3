#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "support/test_registry.h"
#include "ui/color_swatch.h"
#include "ui/frm_options.h"
#include "ui/frm_options_rtf.h"
#include "ui/frm_ops_htm.h"

using quillet::ColorSwatch;
using quillet::ExportSettings;
using quillet::LineEnd;
using quillet::frmOptions;
using quillet::frmOptionsRtf;
using quillet::frmOpsHtm;
using quillet::testing::ChildOf;
using quillet::testing::Click;
using quillet::testing::ScriptedPlatform;

namespace {

// Settings unlike every dialog default, so that a test sees exactly what a dialog stored.
ExportSettings Unlike() {
    ExportSettings settings;
    settings.Delimited.Delimiter = "#";
    settings.Delimited.RowEnd = LineEnd::LF;
    settings.Delimited.IncludeHeader = false;
    settings.Delimited.QuoteItems = false;
    settings.Html.TextColor = "123456";
    settings.Html.BackColor = "ABCDEF";
    settings.Html.IncludeHeader = false;
    settings.Rtf.IncludeHeader = false;
    return settings;
}

enum class Close { Save, Cancel, Escape, CloseBox };

void CloseBy(QDialog& dialog, Close how) {
    switch (how) {
    case Close::Save: Click(dialog, "OKButton"); break;
    case Close::Cancel: Click(dialog, "CancelButton"); break;
    case Close::Escape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
    case Close::CloseBox: dialog.close(); break;
    }
}

}  // namespace

class OptionDialogsTest : public QObject {
    Q_OBJECT

    ScriptedPlatform platform;

    // What frmOptions stores with the box named left at entry, or with text typed into it.
    static ExportSettings StoredWith(const char* boxName, int entry, const QString& typed) {
        ExportSettings settings;
        frmOptions dialog(settings);
        dialog.show();
        auto* box = ChildOf<QComboBox>(dialog, QString::fromLatin1(boxName));
        box->setCurrentIndex(entry);
        if (!typed.isNull()) {
            box->lineEdit()->clear();
            QTest::keyClicks(box->lineEdit(), typed);
        }
        Click(dialog, "OKButton");
        return settings;
    }
    static std::string DelimiterStored(int entry, const QString& typed = {}) {
        return StoredWith("Combo1", entry, typed).Delimited.Delimiter;
    }
    static LineEnd RowDelimiterStored(int entry, const QString& typed = {}) {
        return StoredWith("Combo2", entry, typed).Delimited.RowEnd;
    }

private slots:
    void delimitedTextOptionsOpenAtTheirDefaultsAndStoreThem() {
        ExportSettings settings = Unlike();
        settings.OptionsAccepted = false;
        frmOptions dialog(settings);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QVERIFY(settings.OptionsAccepted);  // loading accepts already
        auto* items = ChildOf<QComboBox>(dialog, QStringLiteral("Combo1"));
        auto* rows = ChildOf<QComboBox>(dialog, QStringLiteral("Combo2"));
        QStringList entries;
        for (int i = 0; i < items->count(); ++i) entries << items->itemText(i);
        QCOMPARE(entries, QStringList({",", ";", ":", "SPACE", "TAB"}));
        QCOMPARE(items->currentText(), QStringLiteral(","));
        QCOMPARE(rows->count(), 2);
        QCOMPARE(rows->itemText(1), QStringLiteral("LF"));
        QCOMPARE(rows->currentText(), QStringLiteral("CRLF"));
        QVERIFY(items->isEditable() && rows->isEditable());
        QCOMPARE(ChildOf<QLabel>(dialog, QStringLiteral("Label1"))->text(), QStringLiteral("Items delimiter:"));
        QCOMPARE(ChildOf<QLabel>(dialog, QStringLiteral("Label2"))->text(), QStringLiteral("Row delimiter:"));
        QCOMPARE(ChildOf<QCheckBox>(dialog, QStringLiteral("Check1"))->text(), QStringLiteral("Include header in export"));
        QCOMPARE(ChildOf<QCheckBox>(dialog, QStringLiteral("Check2"))->text(), QStringLiteral("Put items in quotes"));
        QVERIFY(ChildOf<QCheckBox>(dialog, QStringLiteral("Check1"))->isChecked());
        QVERIFY(ChildOf<QCheckBox>(dialog, QStringLiteral("Check2"))->isChecked());
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("OKButton"))->text(), QStringLiteral("Save"));
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("CancelButton"))->text(), QStringLiteral("Cancel"));

        Click(dialog, "OKButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settings.Delimited.Delimiter, std::string(","));
        QVERIFY(settings.Delimited.RowEnd == LineEnd::CRLF);
        QVERIFY(settings.Delimited.IncludeHeader);
        QVERIFY(settings.Delimited.QuoteItems);
        QVERIFY(settings.OptionsAccepted);

        // A new showing opens at the defaults again, whatever was stored.
        settings.Delimited.Delimiter = ";";
        frmOptions again(settings);
        ChildOf<QComboBox>(again, QStringLiteral("Combo1"))->setCurrentIndex(2);
        ChildOf<QComboBox>(again, QStringLiteral("Combo2"))->setCurrentIndex(1);
        ChildOf<QCheckBox>(again, QStringLiteral("Check1"))->setChecked(false);
        ChildOf<QCheckBox>(again, QStringLiteral("Check2"))->setChecked(false);
        Click(again, "OKButton");
        QCOMPARE(settings.Delimited.Delimiter, std::string(":"));
        QVERIFY(settings.Delimited.RowEnd == LineEnd::LF);
        QVERIFY(!settings.Delimited.IncludeHeader);
        QVERIFY(!settings.Delimited.QuoteItems);
        frmOptions third(settings);
        QCOMPARE(ChildOf<QComboBox>(third, QStringLiteral("Combo1"))->currentText(), QStringLiteral(","));
        QCOMPARE(ChildOf<QComboBox>(third, QStringLiteral("Combo2"))->currentText(), QStringLiteral("CRLF"));
        QVERIFY(ChildOf<QCheckBox>(third, QStringLiteral("Check1"))->isChecked());
        QVERIFY(ChildOf<QCheckBox>(third, QStringLiteral("Check2"))->isChecked());
    }

    void delimiterWordsBecomeTheirCharactersAndTypedTextIsTakenAsItIs() {
        QCOMPARE(DelimiterStored(1), std::string(";"));
        QCOMPARE(DelimiterStored(3), std::string(" "));
        QCOMPARE(DelimiterStored(4), std::string("\t"));
        QCOMPARE(DelimiterStored(0, QStringLiteral("|")), std::string("|"));
        QCOMPARE(DelimiterStored(0, QStringLiteral("tab")), std::string("\t"));
        QCOMPARE(DelimiterStored(2, QStringLiteral("")), std::string(":"));
        // Beyond the characters every code page shares, typing is refused.
        QCOMPARE(DelimiterStored(0, QStringLiteral("§")), std::string(","));

        QVERIFY(RowDelimiterStored(1) == LineEnd::LF);
        QVERIFY(RowDelimiterStored(0, QStringLiteral("lf")) == LineEnd::LF);
        QVERIFY(RowDelimiterStored(1, QStringLiteral("CR")) == LineEnd::LF);
        QVERIFY(RowDelimiterStored(0, QStringLiteral("anything")) == LineEnd::CRLF);
    }

    void cancellingDelimitedTextOptionsStoresNothing() {
        for (const Close how : {Close::Cancel, Close::Escape}) {
            ExportSettings settings = Unlike();
            frmOptions dialog(settings);
            dialog.show();
            ChildOf<QComboBox>(dialog, QStringLiteral("Combo1"))->setCurrentIndex(1);
            CloseBy(dialog, how);
            QVERIFY(!dialog.isVisible());
            QVERIFY(!settings.OptionsAccepted);
            QCOMPARE(settings.Delimited.Delimiter, std::string("#"));
            QVERIFY(settings.Delimited.RowEnd == LineEnd::LF);
            QVERIFY(!settings.Delimited.IncludeHeader);
        }
    }

    void htmlOptionsStoreTheSwatchesAsHexadecimalDigits() {
        ExportSettings settings = Unlike();
        frmOpsHtm dialog(platform, settings);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Html Options"));
        QCOMPARE(ChildOf<QLabel>(dialog, QStringLiteral("Label1"))->text(), QStringLiteral("Text Color"));
        QCOMPARE(ChildOf<QLabel>(dialog, QStringLiteral("Label2"))->text(), QStringLiteral("Background Color"));
        QCOMPARE(ChildOf<QCheckBox>(dialog, QStringLiteral("Check1"))->text(), QStringLiteral("Include header"));
        QCOMPARE(ChildOf<QPushButton>(dialog, QStringLiteral("OKButton"))->text(), QStringLiteral("Save"));
        auto* text = ChildOf<ColorSwatch>(dialog, QStringLiteral("Picture2_0"));
        auto* back = ChildOf<ColorSwatch>(dialog, QStringLiteral("Picture2_1"));
        QCOMPARE(text->Color(), QColor(Qt::black));
        QCOMPARE(back->Color(), QColor(Qt::white));
        QVERIFY(text->geometry().bottom() < back->geometry().top());
        Click(dialog, "OKButton");
        QCOMPARE(settings.Html.TextColor, std::string("000000"));
        QCOMPARE(settings.Html.BackColor, std::string("FFFFFF"));
        QVERIFY(settings.Html.IncludeHeader);
        QVERIFY(settings.OptionsAccepted);

        frmOpsHtm picked(platform, settings);
        picked.show();
        platform.AnswerColorDialog(QColor(255, 0, 0));
        platform.AnswerColorDialog(QColor(0, 0, 255));
        platform.CancelColorDialog();
        QTest::mouseClick(ChildOf<ColorSwatch>(picked, QStringLiteral("Picture2_0")), Qt::LeftButton);
        QTest::mouseClick(ChildOf<ColorSwatch>(picked, QStringLiteral("Picture2_1")), Qt::LeftButton);
        // Cancelling the colour dialog keeps the swatch.
        QTest::mouseClick(ChildOf<ColorSwatch>(picked, QStringLiteral("Picture2_1")), Qt::LeftButton);
        QCOMPARE(platform.ColorRequests, QList<QColor>({Qt::black, Qt::white, QColor(0, 0, 255)}));
        ChildOf<QCheckBox>(picked, QStringLiteral("Check1"))->setChecked(false);
        Click(picked, "OKButton");
        QCOMPARE(settings.Html.TextColor, std::string("FF0000"));
        QCOMPARE(settings.Html.BackColor, std::string("0000FF"));
        QVERIFY(!settings.Html.IncludeHeader);
        QCOMPARE(quillet::HtmlColorOf(QColor(0x0a, 0xbc, 0xde)), std::string("0ABCDE"));

        // Cancel stores nothing, and the next showing is black on white with the header again.
        frmOpsHtm cancelled(platform, settings);
        QCOMPARE(ChildOf<ColorSwatch>(cancelled, QStringLiteral("Picture2_0"))->Color(), QColor(Qt::black));
        QVERIFY(ChildOf<QCheckBox>(cancelled, QStringLiteral("Check1"))->isChecked());
        platform.AnswerColorDialog(QColor(0, 255, 0));
        cancelled.Picture2_Click(0);
        Click(cancelled, "CancelButton");
        QCOMPARE(settings.Html.TextColor, std::string("FF0000"));
        QVERIFY(!settings.Html.IncludeHeader);
        QVERIFY(!settings.OptionsAccepted);
    }

    void rtfOptionsStoreTheHeaderOnCancelToo() {
        ExportSettings settings;
        frmOptionsRtf dialog(settings);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("RTF Options"));
        QCOMPARE(ChildOf<QCheckBox>(dialog, QStringLiteral("Check1"))->text(), QStringLiteral("Include header"));
        QVERIFY(ChildOf<QCheckBox>(dialog, QStringLiteral("Check1"))->isChecked());
        ChildOf<QCheckBox>(dialog, QStringLiteral("Check1"))->setChecked(false);
        Click(dialog, "CancelButton");
        QVERIFY(!settings.Rtf.IncludeHeader);
        QVERIFY(!settings.OptionsAccepted);

        frmOptionsRtf again(settings);
        QVERIFY(ChildOf<QCheckBox>(again, QStringLiteral("Check1"))->isChecked());
        Click(again, "OKButton");
        QVERIFY(settings.Rtf.IncludeHeader);
        QVERIFY(settings.OptionsAccepted);
    }

    // Who sets OptionsAccepted how: loading sets it only in the delimited-text dialog, and the
    // close box leaves it as it was.
    void optionsAcceptedFollowsEachWayOfClosing() {
        struct Case {
            const char* Dialog;
            Close How;
            bool Before;
            bool After;
        };
        const Case cases[] = {
            {"frmOptions", Close::Save, false, true},       {"frmOptions", Close::Cancel, true, false},
            {"frmOptions", Close::Escape, true, false},     {"frmOptions", Close::CloseBox, false, true},
            {"frmOpsHtm", Close::Save, false, true},        {"frmOpsHtm", Close::Cancel, true, false},
            {"frmOpsHtm", Close::Escape, true, false},      {"frmOpsHtm", Close::CloseBox, false, false},
            {"frmOpsHtm", Close::CloseBox, true, true},     {"frmOptionsRtf", Close::Save, false, true},
            {"frmOptionsRtf", Close::Cancel, true, false},  {"frmOptionsRtf", Close::Escape, true, false},
            {"frmOptionsRtf", Close::CloseBox, false, false}, {"frmOptionsRtf", Close::CloseBox, true, true},
        };
        for (const Case& c : cases) {
            ExportSettings settings = Unlike();
            settings.OptionsAccepted = c.Before;
            std::unique_ptr<QDialog> dialog;
            const QString name = QString::fromLatin1(c.Dialog);
            if (name == QStringLiteral("frmOptions")) dialog = std::make_unique<frmOptions>(settings);
            if (name == QStringLiteral("frmOpsHtm")) dialog = std::make_unique<frmOpsHtm>(platform, settings);
            if (name == QStringLiteral("frmOptionsRtf")) dialog = std::make_unique<frmOptionsRtf>(settings);
            QCOMPARE(dialog->objectName(), name);
            dialog->show();
            CloseBy(*dialog, c.How);
            QVERIFY2(!dialog->isVisible(), c.Dialog);
            QVERIFY2(settings.OptionsAccepted == c.After, qPrintable(name + QStringLiteral(" closed by way %1 from %2")
                                                                          .arg(int(c.How))
                                                                          .arg(c.Before)));
            // The close box stores no setting.
            if (c.How == Close::CloseBox) {
                QCOMPARE(settings.Delimited.Delimiter, std::string("#"));
                QCOMPARE(settings.Html.TextColor, std::string("123456"));
                QVERIFY(!settings.Rtf.IncludeHeader);
            }
        }
    }

    void cleanup() { QVERIFY2(platform.Unexpected.isEmpty(), qPrintable(platform.Unexpected.join(", "))); }
};

QUILLET_UI_TEST(OptionDialogsTest);

#include "option_dialogs_test.moc"
