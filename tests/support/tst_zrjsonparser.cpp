#include "support/zrjsonparser.h"

#include "support/zrdecimalnumber.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QVariant number(const char *text)
{
    bool ok = false;
    const ZrDecimalNumber value = ZrDecimalNumber::fromString(text, &ok);
    return ok ? QVariant::fromValue(value) : QVariant();
}

QString nested(int levels, const QString &inner = QString())
{
    return QString(levels, QLatin1Char('[')) + inner + QString(levels, QLatin1Char(']'));
}

// Records the trace's size at each announcement, before and after the change.
class TraceObserver : public QObject
{
public:
    explicit TraceObserver(ZRJsonParser *parser)
    {
        connect(parser, &ZRJsonBase::errorTraceAboutToChange, this,
                [this, parser] { events.append(QStringLiteral("before %1").arg(parser->errorTrace().size())); });
        connect(parser, &ZRJsonBase::errorTraceChanged, this,
                [this, parser] { events.append(QStringLiteral("after %1").arg(parser->errorTrace().size())); });
    }
    QStringList events;
};

}  // namespace

class TestZRJsonParser : public QObject
{
    Q_OBJECT

private slots:
    void errors_data();
    void errors();
    void values_data();
    void values();
    void numbers_data();
    void numbers();
    void fragmentsOnlyThroughFragmentWithString();
    void traceAnnouncesEveryChange();
    void nestingLimit();
    void failedParseLeavesNoStaleDepth();
    void deepNestingFailsWithoutLimit();
    void mutatedDocumentsNeverCrash();
};

void TestZRJsonParser::errors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QStringList>("messages");

    const QString expectedValue = QStringLiteral("Expected value while parsing array");
    QTest::newRow("no text") << QString() << QList<int>{12} << QStringList{"Input was 'nil'"};
    QTest::newRow("empty text") << QString("") << QList<int>{11} << QStringList{"Unexpected end of string"};
    QTest::newRow("only white space") << QString(" \t\n\v\f\r") << QList<int>{11}
                                      << QStringList{"Unexpected end of string"};
    QTest::newRow("garbage") << QString(" {} x") << QList<int>{10} << QStringList{"Garbage after JSON"};
    QTest::newRow("two values") << QString("[] []") << QList<int>{10} << QStringList{"Garbage after JSON"};
    QTest::newRow("a bare number") << QString("42") << QList<int>{4}
                                   << QStringList{"Valid fragment, but not JSON"};
    QTest::newRow("trailing comma, array") << QString("[1, ]") << QList<int>{9}
                                           << QStringList{"Trailing comma disallowed in array"};
    QTest::newRow("trailing comma, object") << QString("{\"a\":1,}") << QList<int>{9}
                                            << QStringList{"Trailing comma disallowed in object"};
    QTest::newRow("leading plus") << QString("[+1]") << QList<int>{2, 3}
                                  << QStringList{"Leading + disallowed in number", expectedValue};
    QTest::newRow("leading zero") << QString("[01]") << QList<int>{2, 3}
                                  << QStringList{"Leading 0 disallowed in number", expectedValue};
    QTest::newRow("negative leading zero") << QString("[-00]") << QList<int>{2, 3}
                                           << QStringList{"Leading 0 disallowed in number", expectedValue};
    QTest::newRow("lone minus") << QString("[-]") << QList<int>{2, 3}
                                << QStringList{"No digits after initial minus", expectedValue};
    QTest::newRow("point without digits") << QString("[1.]") << QList<int>{2, 3}
                                          << QStringList{"No digits after decimal point", expectedValue};
    QTest::newRow("e without digits") << QString("[1e]") << QList<int>{2, 3}
                                      << QStringList{"No digits after exponent", expectedValue};
    QTest::newRow("signed e without digits") << QString("[1E+]") << QList<int>{2, 3}
                                             << QStringList{"No digits after exponent", expectedValue};
    QTest::newRow("number out of range") << QString("[1e200]") << QList<int>{2, 3}
                                         << QStringList{"Failed creating decimal instance", expectedValue};
    QTest::newRow("true") << QString("[tru]") << QList<int>{3, 3} << QStringList{"Expected 'true'", expectedValue};
    QTest::newRow("false") << QString("[falsy]") << QList<int>{3, 3}
                           << QStringList{"Expected 'false'", expectedValue};
    QTest::newRow("null") << QString("[nul") << QList<int>{3, 3} << QStringList{"Expected 'null'", expectedValue};
    QTest::newRow("leading character") << QString("[?]") << QList<int>{3, 3}
                                       << QStringList{"Unrecognised leading character", expectedValue};
    QTest::newRow("comma first") << QString("[,1]") << QList<int>{3, 3}
                                 << QStringList{"Unrecognised leading character", expectedValue};
    QTest::newRow("key not a string") << QString("{1:2}") << QList<int>{3}
                                      << QStringList{"Object key string expected"};
    QTest::newRow("key string broken") << QString("{\"a\\x\":2}") << QList<int>{8, 3}
                                       << QStringList{"Illegal escape sequence '0x78'", "Object key string expected"};
    QTest::newRow("colon missing") << QString("{\"a\" 1}") << QList<int>{3}
                                   << QStringList{"Expected ':' separating key and value"};
    QTest::newRow("member value missing")
        << QString("{\"a\":}") << QList<int>{3, 3}
        << QStringList{"Unrecognised leading character", "Object value expected for key: a"};
    QTest::newRow("element in array in object")
        << QString("{\"k\": [1, ?]}") << QList<int>{3, 3, 3}
        << QStringList{"Unrecognised leading character", expectedValue, "Object value expected for key: k"};
    QTest::newRow("raw tab") << QString("[\"a\tb\"]") << QList<int>{5, 3}
                             << QStringList{"Unescaped control character '0x9'", expectedValue};
    QTest::newRow("raw NUL") << QString::fromUtf16(u"[\"a\0b\"]", 7) << QList<int>{5, 3}
                             << QStringList{"Unescaped control character '0x0'", expectedValue};
    QTest::newRow("bad hex digit")
        << QString("[\"\\u12G4\"]") << QList<int>{6, 6, 6, 3}
        << QStringList{"Missing hex digit in quad", "Missing hex quad", "Broken unicode character", expectedValue};
    QTest::newRow("short quad at end")
        << QString("\"\\u12") << QList<int>{6, 6, 6}
        << QStringList{"Missing hex digit in quad", "Missing hex quad", "Broken unicode character"};
    QTest::newRow("lone low surrogate")
        << QString("[\"\\uDC00\"]") << QList<int>{6, 6, 3}
        << QStringList{"Invalid high character in surrogate pair", "Broken unicode character", expectedValue};
    QTest::newRow("high surrogate alone")
        << QString("[\"\\uD83Dx\"]") << QList<int>{6, 6, 3}
        << QStringList{"Missing low character in surrogate pair", "Broken unicode character", expectedValue};
    QTest::newRow("high surrogate, bad quad")
        << QString("[\"\\uD83D\\u12\"]") << QList<int>{6, 6, 6, 3}
        << QStringList{"Missing hex digit in quad", "Missing low character in surrogate pair",
                       "Broken unicode character", expectedValue};
    QTest::newRow("high surrogate, no low one")
        << QString("[\"\\uD83D\\u0041\"]") << QList<int>{6, 6, 3}
        << QStringList{"Invalid low surrogate char", "Broken unicode character", expectedValue};
    QTest::newRow("illegal escape") << QString("[\"\\q\"]") << QList<int>{8, 3}
                                    << QStringList{"Illegal escape sequence '0x71'", expectedValue};
    QTest::newRow("end in array") << QString("[1 ") << QList<int>{11}
                                  << QStringList{"End of input while parsing array"};
    QTest::newRow("end after comma") << QString("[1,") << QList<int>{11}
                                     << QStringList{"End of input while parsing array"};
    QTest::newRow("end after brace") << QString("{") << QList<int>{11}
                                     << QStringList{"End of input while parsing object"};
    QTest::newRow("end in object") << QString("{\"a\":1") << QList<int>{11}
                                   << QStringList{"End of input while parsing object"};
    QTest::newRow("end in string") << QString("[\"abc") << QList<int>{11, 3}
                                   << QStringList{"Unexpected EOF while parsing string", expectedValue};
    QTest::newRow("end after backslash") << QString("[\"abc\\") << QList<int>{11, 3}
                                         << QStringList{"Unexpected EOF while parsing string", expectedValue};
    QTest::newRow("end where value expected")
        << QString("{\"a\":") << QList<int>{11, 3}
        << QStringList{"Unexpected end of string", "Object value expected for key: a"};
}

void TestZRJsonParser::errors()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, codes);
    QFETCH(QStringList, messages);

    ZRJsonParser parser;
    QVERIFY(!parser.objectWithString(text).isValid());
    const QList<ZrError> trace = parser.errorTrace();
    QCOMPARE(trace.size(), codes.size());
    for (int i = 0; i < trace.size(); ++i) {
        QCOMPARE(trace[i].domain(), QStringLiteral("JsonParserErrorDomain"));
        QCOMPARE(trace[i].code(), codes[i]);
        QCOMPARE(trace[i].localizedDescription(), messages[i]);
        QCOMPARE(trace[i].underlyingError(), i == 0 ? ZrError() : trace[i - 1]);
    }
}

void TestZRJsonParser::values_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("numbers separated by white space") << QString("[1 2]") << QVariant(QVariantList{number("1"), number("2")});
    QTest::newRow("empty object in spaces") << QString("  {}  ") << QVariant(QVariantMap());
    QTest::newRow("empty array") << QString("[\t\r\n\v\f]") << QVariant(QVariantList());
    QTest::newRow("every kind of value")
        << QString("{\"a\": [1, \"x\", true, false, null, {\"b\": -2.5}], \"c\": {}}")
        << QVariant(QVariantMap{
               {"a", QVariantList{number("1"), "x", true, false, QVariant::fromValue(nullptr),
                                  QVariantMap{{"b", number("-2.5")}}}},
               {"c", QVariantMap()}});
    QTest::newRow("later duplicate key wins") << QString("{\"a\":1,\"a\":2}") << QVariant(QVariantMap{{"a", number("2")}});
    QTest::newRow("members without commas") << QString("{\"a\":1 \"b\":2}")
                                            << QVariant(QVariantMap{{"a", number("1")}, {"b", number("2")}});
    QTest::newRow("escapes") << QString("[\"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\u00C9\"]")
                             << QVariant(QVariantList{QString::fromUtf8("\"\\/\b\f\n\r\t\u00e9\u00c9")});
    QTest::newRow("surrogate pair") << QString("[\"\\uD83D\\uDE00\"]")
                                    << QVariant(QVariantList{QString::fromUtf8("\U0001F600")});
    QTest::newRow("escaped NUL") << QString("[\"a\\u0000b\"]")
                                 << QVariant(QVariantList{QString::fromUtf16(u"a\0b", 3)});
    QTest::newRow("raw characters beyond ASCII")
        << QString::fromUtf8("[\"\u00e9\u4e2d\U0001F600\", \"\uFEFFx\"]")
        << QVariant(QVariantList{QString::fromUtf8("\u00e9\u4e2d\U0001F600"), QString(QChar(0xFEFF)) + "x"});
    QTest::newRow("unicode key") << QString::fromUtf8("{\"\u00fcber\": true}")
                                 << QVariant(QVariantMap{{QString::fromUtf8("\u00fcber"), true}});
}

void TestZRJsonParser::values()
{
    QFETCH(QString, text);
    QFETCH(QVariant, expected);

    ZRJsonParser parser;
    const QVariant value = parser.objectWithString(text);
    QVERIFY(parser.errorTrace().isEmpty());
    QCOMPARE(value, expected);
    QCOMPARE(parser.depth(), 0u);
}

void TestZRJsonParser::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("exact");
    QTest::addColumn<double>("approximate");

    QTest::newRow("tenth") << "0.1" << "0.1" << 0.1;
    QTest::newRow("30-digit integer") << "123456789012345678901234567890"
                                      << "123456789012345678901234567890" << 1.2345678901234568e29;
    QTest::newRow("negative exponent") << "1.25e-3" << "0.00125" << 0.00125;
    QTest::newRow("positive exponent") << "-12.5E+1" << "-125" << -125.0;
    QTest::newRow("trailing zeros") << "1.500" << "1.5" << 1.5;
    QTest::newRow("zero with a sign") << "-0" << "0" << 0.0;
    QTest::newRow("zero with a huge exponent") << "0e999999999999" << "0" << 0.0;
    QTest::newRow("digits past 38 rounded")
        << "12345678901234567890123456789012345678951" << "12345678901234567890123456789012345679000"
        << 1.2345678901234568e40;
    QTest::newRow("nines rounded up") << "9999999999999999999999999999999999999999" << "1" + QString(40, '0') << 1e40;
    QTest::newRow("largest exponent") << "1e127" << "1" + QString(127, '0') << 1e127;
    QTest::newRow("exponent past the range, digits to spare") << "1e130" << "1" + QString(130, '0') << 1e130;
    QTest::newRow("smallest exponent") << "1e-128" << "0." + QString(127, '0') + "1" << 1e-128;
}

void TestZRJsonParser::numbers()
{
    QFETCH(QString, text);
    QFETCH(QString, exact);
    QFETCH(double, approximate);

    ZRJsonParser parser;
    const QVariant value = parser.fragmentWithString(text);
    QVERIFY2(value.isValid(), qPrintable(text));
    QCOMPARE(value.userType(), qMetaTypeId<ZrDecimalNumber>());
    QCOMPARE(value.toString(), exact);
    QCOMPARE(value.toDouble(), approximate);
}

void TestZRJsonParser::fragmentsOnlyThroughFragmentWithString()
{
    ZRJsonParser parser;
    QCOMPARE(parser.fragmentWithString(" 42 ").toString(), QStringLiteral("42"));
    QCOMPARE(parser.fragmentWithString("\"text\""), QVariant("text"));
    QCOMPARE(parser.fragmentWithString("true"), QVariant(true));
    const QVariant null = parser.fragmentWithString("null");
    QVERIFY(null.isValid());
    QCOMPARE(null.userType(), int(QMetaType::Nullptr));
    QVERIFY(parser.errorTrace().isEmpty());

    for (const char *fragment : {"42", "\"text\"", "true", "null"}) {
        QVERIFY(!parser.objectWithString(fragment).isValid());
        QCOMPARE(parser.errorTrace().size(), 1);
        QCOMPARE(parser.errorTrace().first().code(), 4);
    }
}

void TestZRJsonParser::traceAnnouncesEveryChange()
{
    ZRJsonParser parser;
    TraceObserver observer(&parser);

    QVERIFY(!parser.objectWithString("[?]").isValid());
    QCOMPARE(observer.events,
             QStringList({"before 0", "after 0", "before 0", "after 1", "before 1", "after 2"}));

    observer.events.clear();
    QVERIFY(parser.objectWithString("[]").isValid());
    QCOMPARE(observer.events, QStringList({"before 2", "after 0"}));
    QVERIFY(parser.errorTrace().isEmpty());

    observer.events.clear();
    parser.addErrorWithCode(99, "own");
    parser.clearErrorTrace();
    QCOMPARE(observer.events, QStringList({"before 0", "after 1", "before 1", "after 0"}));
}

void TestZRJsonParser::nestingLimit()
{
    ZRJsonParser parser;
    QCOMPARE(parser.maxDepth(), 512u);
    QVERIFY(parser.objectWithString(nested(512)).isValid());

    QVERIFY(!parser.objectWithString(nested(513)).isValid());
    QList<ZrError> trace = parser.errorTrace();
    QCOMPARE(trace.size(), 513);
    QCOMPARE(trace.first().code(), 7);
    QCOMPARE(trace.first().localizedDescription(), QStringLiteral("Nested too deep"));
    QCOMPARE(trace.last().code(), 3);

    const QString objects = QString("{\"a\":").repeated(3) + "{}" + QString("}").repeated(3);
    parser.setMaxDepth(3);
    QVERIFY(!parser.objectWithString(objects).isValid());
    QCOMPARE(parser.errorTrace().first().code(), 7);
    parser.setMaxDepth(4);
    QVERIFY(parser.objectWithString(objects).isValid());

    parser.setMaxDepth(0);
    QVariant value = parser.objectWithString(nested(513));
    QVERIFY(parser.errorTrace().isEmpty());
    int depth = 0;
    for (; value.userType() == QMetaType::QVariantList; ++depth)
        value = value.toList().value(0);
    QCOMPARE(depth, 513);
}

void TestZRJsonParser::failedParseLeavesNoStaleDepth()
{
    ZRJsonParser parser;
    QVERIFY(!parser.objectWithString(nested(512, "?")).isValid());
    QVERIFY(!parser.objectWithString(nested(400) + "garbage").isValid());
    QVERIFY(parser.objectWithString(nested(512)).isValid());
    QCOMPARE(parser.depth(), 0u);
}

void TestZRJsonParser::deepNestingFailsWithoutLimit()
{
    ZRJsonParser parser;
    parser.setMaxDepth(0);
    QVERIFY(parser.objectWithString(nested(10000)).isValid());

    const QString objects = QString("{\"a\":").repeated(10000) + "{}" + QString("}").repeated(10000);
    QVERIFY(!parser.objectWithString(objects).isValid());
    QCOMPARE(parser.errorTrace().first().code(), 7);

    QVERIFY(!parser.objectWithString(QString(100000, '[')).isValid());
    const QList<ZrError> trace = parser.errorTrace();
    QCOMPARE(trace.first().code(), 7);
    QCOMPARE(trace.first().localizedDescription(), QStringLiteral("Nested too deep"));
    QCOMPARE(trace.size(), 10001);
}

void TestZRJsonParser::mutatedDocumentsNeverCrash()
{
    const QStringList seeds = {
        "{\"a\": [1, -2.5e3, \"x\\u00e9\\uD83D\\uDE00\", true, false, null], \"b\": {\"c\": []}}",
        "[{\"k\":\"v\"}, [[[]]], 0, 1e-5, \"\\n\\t\\\\\"]",
        "\"fragment\"",
    };
    const QString alphabet = QString::fromUtf8("[]{}\",:\\/u0123456789abcdefABCDEF.eE+- \t\n\rtrueflsn\u00e9\U0001F600");
    QRandomGenerator random(20240517);
    ZRJsonParser parser;
    for (int round = 0; round < 50000; ++round) {
        QString text = seeds[random.bounded(seeds.size())];
        for (int edits = 1 + random.bounded(4); edits > 0; --edits) {
            const int at = random.bounded(text.size() + 1);
            const QChar ch = alphabet[random.bounded(alphabet.size())];
            switch (random.bounded(3)) {
            case 0:
                text.insert(at, ch);
                break;
            case 1:
                text.remove(at, 1);
                break;
            default:
                text.replace(at, 1, ch);
                break;
            }
        }
        parser.setMaxDepth(random.bounded(2) ? 0 : 3);
        for (bool fragment : {false, true}) {
            const QVariant value = fragment ? parser.fragmentWithString(text) : parser.objectWithString(text);
            const QList<ZrError> trace = parser.errorTrace();
            QVERIFY2(value.isValid() == trace.isEmpty(), qPrintable(text));
            for (const ZrError &error : trace)
                QVERIFY2(error.code() >= 2 && error.code() <= 11, qPrintable(text));
        }
    }
}

QTEST_GUILESS_MAIN(TestZRJsonParser)
#include "tst_zrjsonparser.moc"
