#include "testfiles.h"

#include "support/zrformdatarequest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QUrl Somewhere("http://127.0.0.1:9/form");

// The body as it would be sent: from memory, or from the file it was streamed into.
QByteArray sentBody(const ZRFormDataRequest &request)
{
    return request.postBodyFilePath().isEmpty() ? request.postBody() : readFile(request.postBodyFilePath());
}

QString boundaryOf(const ZRFormDataRequest &request)
{
    const QString type = request.requestHeaders().value("Content-Type").toString();
    const int at = type.indexOf("boundary=");
    return at < 0 ? QString() : type.mid(at + 9);
}

} // namespace

class TestZRFormDataRequest : public QObject
{
    Q_OBJECT
private slots:
    void urlEncodedBodies_data();
    void urlEncodedBodies();
    void escapesEveryDelimiter();
    void setPostValueKeepsOneEntryAtTheEnd();
    void multipartWithTwoValues();
    void fileEntrySwitchesToMultipart();
    void multipartNamesCannotWriteHeaders();
    void missingFileFailsAtOnce();
    void noValuesLeaveTheBaseBody();
    void copyTakesTheForm();
};

void TestZRFormDataRequest::urlEncodedBodies_data()
{
    QTest::addColumn<QVariantList>("pairs");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("two values") << QVariantList{"first", "1", "second", "two"} << QByteArray("first=1&second=two");
    QTest::newRow("a space") << QVariantList{"q", "a b"} << QByteArray("q=a%20b");
    QTest::newRow("a number") << QVariantList{"n", 42} << QByteArray("n=42");
    QTest::newRow("unicode in UTF-8") << QVariantList{"name", QString::fromUtf8("Jürgen")}
                                      << QByteArray("name=J%C3%BCrgen");
    QTest::newRow("keys escaped too") << QVariantList{"a&b", "c=d"} << QByteArray("a%26b=c%3Dd");
}

void TestZRFormDataRequest::urlEncodedBodies()
{
    QFETCH(QVariantList, pairs);
    QFETCH(QByteArray, body);

    ZRFormDataRequest request(Somewhere);
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        request.addPostValue(pairs.at(i + 1), pairs.at(i).toString());
    request.buildPostBody();
    QCOMPARE(request.postBody(), body);
    QCOMPARE(request.requestHeaders().value("Content-Type").toString(),
             QString("application/x-www-form-urlencoded; charset=utf-8"));
    QCOMPARE(request.requestMethod(), QString("POST"));
    QCOMPARE(request.requestHeaders().value("Content-Length").toString(), QString::number(body.size()));
}

void TestZRFormDataRequest::escapesEveryDelimiter()
{
    ZRFormDataRequest request(Somewhere);
    const QString delimiters = ":/?#[]@!$ &'()*+,;=\"<>%{}|\\^~`";
    const QString escaped = request.encodeURL(delimiters);
    QCOMPARE(escaped, QString("%3A%2F%3F%23%5B%5D%40%21%24%20%26%27%28%29%2A%2B%2C%3B%3D%22%3C%3E%25%7B%7D%7C%5C%5E"
                              "%7E%60"));
    QCOMPARE(request.encodeURL("Plain-text_1.0"), QString("Plain-text_1.0"));
}

void TestZRFormDataRequest::setPostValueKeepsOneEntryAtTheEnd()
{
    ZRFormDataRequest request(Somewhere);
    request.addPostValue("1", "k");
    request.addPostValue("x", "other");
    request.addPostValue("2", "k");
    request.addPostValue("3", "k");
    request.setPostValue("new", "k");
    QCOMPARE(request.postData().size(), 2);
    QCOMPARE(request.postData().last().value("value").toString(), QString("new"));
    request.buildPostBody();
    QCOMPARE(request.postBody(), QByteArray("other=x&k=new"));
}

void TestZRFormDataRequest::multipartWithTwoValues()
{
    ZRFormDataRequest request(Somewhere);
    request.setPostFormat(ZRFormDataRequest::MultipartFormDataPostFormat);
    request.addPostValue("one", "a");
    request.addPostValue("two", "b");
    request.buildPostBody();
    const QString boundary = boundaryOf(request);
    QVERIFY(boundary.startsWith("0xKhTmLbOuNdArY-"));
    const QByteArray expected = QString("--%1\r\n"
                                        "Content-Disposition: form-data; name=\"a\"\r\n\r\none"
                                        "\r\n--%1\r\n"
                                        "Content-Disposition: form-data; name=\"b\"\r\n\r\ntwo"
                                        "\r\n--%1--\r\n")
                                    .arg(boundary)
                                    .toUtf8();
    QCOMPARE(request.postBody(), expected);
    QVERIFY(request.requestHeaders().value("Content-Type").toString().startsWith(
        "multipart/form-data; charset=utf-8; boundary="));
}

void TestZRFormDataRequest::fileEntrySwitchesToMultipart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("file contents");
    file.close();

    ZRFormDataRequest request(Somewhere);
    request.addPostValue("v", "k");
    request.addFile(path, "upload");
    request.addData("raw bytes", "picture.jpg", "image/jpeg", "fileData");
    request.buildPostBody();
    QCOMPARE(request.postFormat(), int(ZRFormDataRequest::MultipartFormDataPostFormat));
    QVERIFY(request.shouldStreamPostDataFromDisk());
    const QString boundary = boundaryOf(request);
    const QByteArray expected = QString("--%1\r\n"
                                        "Content-Disposition: form-data; name=\"k\"\r\n\r\nv"
                                        "\r\n--%1\r\n"
                                        "Content-Disposition: form-data; name=\"upload\"; filename=\"notes.txt\"\r\n"
                                        "Content-Type: text/plain\r\n\r\nfile contents"
                                        "\r\n--%1\r\n"
                                        "Content-Disposition: form-data; name=\"fileData\"; filename=\"picture.jpg\"\r\n"
                                        "Content-Type: image/jpeg\r\n\r\nraw bytes"
                                        "\r\n--%1--\r\n")
                                    .arg(boundary)
                                    .toUtf8();
    QCOMPARE(sentBody(request), expected);
    QCOMPARE(request.postLength(), quint64(expected.size()));
    QVERIFY(request.error().isNull());
}

void TestZRFormDataRequest::multipartNamesCannotWriteHeaders()
{
    ZRFormDataRequest request(Somewhere);
    request.addData("x", "evil\"\r\nX-Injected: 1.txt", "text/plain", "field\"name");
    request.buildPostBody();
    const QByteArray body = sentBody(request);
    QVERIFY(body.contains("name=\"field%22name\"; filename=\"evil%22%0D%0AX-Injected: 1.txt\"\r\n"));
    QVERIFY(!body.contains("\r\nX-Injected"));
}

void TestZRFormDataRequest::missingFileFailsAtOnce()
{
    ZRFormDataRequest request(Somewhere);
    request.addFile("/no/such/upload.bin", "f");
    QCOMPARE(request.error().code(), 6);
    QCOMPARE(request.error().localizedDescription(), QString("No file exists at /no/such/upload.bin"));
    QCOMPARE(request.fileData().size(), 1);

    QTemporaryDir dir;
    ZRFormDataRequest folder(Somewhere);
    folder.addFile(dir.path(), "f");
    QCOMPARE(folder.error().code(), 6);
}

void TestZRFormDataRequest::noValuesLeaveTheBaseBody()
{
    ZRFormDataRequest request(Somewhere);
    request.appendPostData("raw");
    request.buildPostBody();
    QCOMPARE(request.postBody(), QByteArray("raw"));
    QVERIFY(!request.requestHeaders().contains("Content-Type"));
}

void TestZRFormDataRequest::copyTakesTheForm()
{
    ZRFormDataRequest request(Somewhere);
    request.addPostValue("v", "k");
    request.addData("d", "f");
    request.setStringEncoding(4);
    request.setRequestMethod("PUT");
    const QSharedPointer<ZRHTTPRequest> copy = request.copyWithZone();
    ZRFormDataRequest *form = qobject_cast<ZRFormDataRequest *>(copy.data());
    QVERIFY(form);
    QCOMPARE(form->postData(), request.postData());
    QCOMPARE(form->fileData().size(), 1);
    QCOMPARE(form->stringEncoding(), 4);
    QCOMPARE(form->requestMethod(), QString("PUT"));
}

QTEST_GUILESS_MAIN(TestZRFormDataRequest)
#include "tst_zrformdatarequest.moc"
