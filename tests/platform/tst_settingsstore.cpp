#include <QSettings>
#include <QTest>

#include "platform/settingsstore.h"
#include "support/testenvironment.h"

using namespace qm;

class TestSettingsStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<test::TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void readDefaultsAndWrites();
    void namesIgnoreCase();
    void storedUnderLowerCaseNames();
    void deleteSectionKeepsOthers();

private:
    std::unique_ptr<test::TestEnvironment> m_env;
};

void TestSettingsStore::readDefaultsAndWrites() {
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpl0", "(N/A)"), QString("(N/A)"));
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpd0"), QString());
    SettingsStore::write("Orvalde", "qmorn", "lpd0", "/home/u/ソフト");
    SettingsStore::write("Orvalde", "qmorn", "lpd1", "");
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpd0"), QString("/home/u/ソフト"));
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "lpd1", "x"), QString());
}

void TestSettingsStore::namesIgnoreCase() {
    SettingsStore::write("Orvalde", "qmorn", "PMode", "1");
    QCOMPARE(SettingsStore::read("orvalde", "QMORN", "pmode"), QString("1"));
    SettingsStore::write("ORVALDE", "Qmorn", "pmode", "0");
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "PMODE"), QString("0"));
}

void TestSettingsStore::storedUnderLowerCaseNames() {
    SettingsStore::write("Orvalde", "Qmorn", "KMode", "1");
    QSettings ini(m_env->configFolder() + "/orvalde.ini", QSettings::IniFormat);
    QCOMPARE(ini.childGroups(), QStringList{"qmorn"});
    QCOMPARE(ini.value("qmorn/kmode").toString(), QString("1"));
    // A file written with other letter cases by hand is still found.
    QSettings hand(m_env->configFolder() + "/orvalde.ini", QSettings::IniFormat);
    hand.setValue("Other/LPD0", "/x");
    hand.sync();
    QCOMPARE(SettingsStore::read("orvalde", "other", "lpd0"), QString("/x"));
}

void TestSettingsStore::deleteSectionKeepsOthers() {
    SettingsStore::write("Orvalde", "qmorn", "pmode", "1");
    SettingsStore::write("Orvalde", "qmorn", "lpd0", "/a");
    SettingsStore::write("Orvalde", "keep", "x", "y");
    SettingsStore::write("Another", "qmorn", "pmode", "1");
    QVERIFY(SettingsStore::deleteSection("orvalde", "QMORN"));
    QVERIFY(!SettingsStore::hasSection("Orvalde", "qmorn"));
    QCOMPARE(SettingsStore::read("Orvalde", "qmorn", "pmode", "gone"), QString("gone"));
    QCOMPARE(SettingsStore::read("Orvalde", "keep", "x"), QString("y"));
    QCOMPARE(SettingsStore::read("Another", "qmorn", "pmode"), QString("1"));
    QVERIFY(!SettingsStore::deleteSection("Orvalde", "qmorn"));
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
