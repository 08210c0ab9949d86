#include "support/zrpacscript.h"

#include "support/zrhttprequesterror.h"
#include "support/zrproxysettings.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QJSEngine>
#include <QNetworkInterface>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// The helpers a script may call that JavaScript alone cannot answer.
class PacHost : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QString dnsResolve(const QString &host) const
    {
        const QHostAddress literal(host);
        if (!literal.isNull())
            return literal.toString();
        for (const QHostAddress &address : QHostInfo::fromName(host).addresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol)
                return address.toString();
        }
        return QString();
    }

    Q_INVOKABLE QString myIpAddress() const
    {
        for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address.toString();
        }
        return "127.0.0.1";
    }
};

const char *const Helpers = R"JS(
function dnsResolve(host) { var a = __zrPacHost.dnsResolve(String(host)); return a === "" ? null : a; }
function myIpAddress() { return __zrPacHost.myIpAddress(); }
function isPlainHostName(host) { return String(host).indexOf(".") < 0; }
function dnsDomainIs(host, domain) {
    host = String(host); domain = String(domain);
    return host.length >= domain.length && host.substring(host.length - domain.length) === domain;
}
function localHostOrDomainIs(host, hostdom) {
    host = String(host); hostdom = String(hostdom);
    return host === hostdom || hostdom.lastIndexOf(host + ".", 0) === 0;
}
function isResolvable(host) { return dnsResolve(host) !== null; }
function __zrOctets(text) {
    var parts = String(text).split(".");
    if (parts.length !== 4) return null;
    var n = [];
    for (var i = 0; i < 4; i++) { var v = parseInt(parts[i], 10); if (isNaN(v) || v < 0 || v > 255) return null; n.push(v); }
    return n;
}
function isInNet(host, pattern, mask) {
    var ip = __zrOctets(dnsResolve(host)), p = __zrOctets(pattern), m = __zrOctets(mask);
    if (!ip || !p || !m) return false;
    for (var i = 0; i < 4; i++) if ((ip[i] & m[i]) !== (p[i] & m[i])) return false;
    return true;
}
function dnsDomainLevels(host) { return String(host).split(".").length - 1; }
function shExpMatch(str, shexp) {
    var re = String(shexp).replace(/[.+^${}()|[\]\\]/g, "\\$&").replace(/\*/g, ".*").replace(/\?/g, ".");
    return new RegExp("^" + re + "$").test(String(str));
}
var __zrDays = ["SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"];
var __zrMonths = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"];
function __zrNow(args) {
    var gmt = args.length > 0 && args[args.length - 1] === "GMT";
    var now = new Date();
    return { gmt: gmt, day: gmt ? now.getUTCDay() : now.getDay(), date: gmt ? now.getUTCDate() : now.getDate(),
             month: gmt ? now.getUTCMonth() : now.getMonth(), year: gmt ? now.getUTCFullYear() : now.getFullYear(),
             hour: gmt ? now.getUTCHours() : now.getHours(), minute: gmt ? now.getUTCMinutes() : now.getMinutes(),
             second: gmt ? now.getUTCSeconds() : now.getSeconds(),
             args: gmt ? Array.prototype.slice.call(args, 0, args.length - 1) : Array.prototype.slice.call(args) };
}
function __zrInRange(value, low, high) { return low <= high ? value >= low && value <= high : value >= low || value <= high; }
function weekdayRange() {
    var n = __zrNow(arguments), a = __zrDays.indexOf(n.args[0]);
    var b = n.args.length > 1 ? __zrDays.indexOf(n.args[1]) : a;
    return a >= 0 && b >= 0 && __zrInRange(n.day, a, b);
}
function dateRange() {
    var n = __zrNow(arguments), a = n.args;
    function value(part) {
        var m = __zrMonths.indexOf(String(part));
        if (m >= 0) return { month: m };
        var v = parseInt(part, 10);
        return v > 31 ? { year: v } : { date: v };
    }
    function key(parts) {
        var k = [0, 0, 0];
        for (var i = 0; i < parts.length; i++) {
            if (parts[i].year !== undefined) k[0] = parts[i].year;
            if (parts[i].month !== undefined) k[1] = parts[i].month;
            if (parts[i].date !== undefined) k[2] = parts[i].date;
        }
        return k;
    }
    var parts = a.map(value), half = parts.length > 1 ? parts.length / 2 : 1;
    var low = key(parts.slice(0, half)), high = key(parts.length > 1 ? parts.slice(half) : parts.slice(0, 1));
    var now = [n.year, n.month, n.date], mask = [0, 0, 0];
    for (var i = 0; i < parts.length; i++) {
        if (parts[i].year !== undefined) mask[0] = 1;
        if (parts[i].month !== undefined) mask[1] = 1;
        if (parts[i].date !== undefined) mask[2] = 1;
    }
    function number(k) { return (mask[0] ? k[0] : 0) * 10000 + (mask[1] ? k[1] : 0) * 100 + (mask[2] ? k[2] : 0); }
    return __zrInRange(number(now), number(low), number(high));
}
function timeRange() {
    var n = __zrNow(arguments), a = n.args.map(function (v) { return parseInt(v, 10); });
    var now = n.hour * 3600 + n.minute * 60 + n.second;
    if (a.length === 1) return n.hour === a[0];
    if (a.length === 2) return __zrInRange(n.hour, a[0], a[1] - 1);
    if (a.length === 4) return __zrInRange(now, a[0] * 3600 + a[1] * 60, a[2] * 3600 + a[3] * 60);
    if (a.length === 6) return __zrInRange(now, a[0] * 3600 + a[1] * 60 + a[2], a[3] * 3600 + a[4] * 60 + a[5]);
    return false;
}
)JS";

// Runs the script and asks it; everything the script can run happens inside this one call,
// under the watchdog. The answer comes back as a primitive string, so reading it runs no
// script: "A" and the answer, or "F" and why it failed. A thrown value is a failure, never an
// answer, and is not converted.
const char *const Runner = R"JS(
(function (source, url, host) {
    try {
        // Global code; the completion value finds the function in strict scripts too.
        var find = (0, eval)(source + "\n;(typeof FindProxyForURL === \"function\" ? FindProxyForURL : undefined)");
        if (typeof find !== "function")
            return "Fthe script defines no FindProxyForURL";
        var answer = find(url, host);
        return typeof answer === "string" ? "A" + answer : "Fthe answer is not a string";
    } catch (thrown) {
        return "Fthe script threw an exception";
    }
})
)JS";

// Far larger than any real proxy script; parsing one takes no more than a fraction of a second.
const int MaximumScriptLength = 1 << 20;

ZrError scriptError(const QString &description)
{
    return ZrError("kCFErrorDomainCFNetwork", 2, description);
}

} // namespace

QList<QVariantMap> ZrPacScript::proxiesForURL(const QString &script, const QUrl &url, double timeOutSeconds,
                                              ZrError *error)
{
    if (script.size() > MaximumScriptLength) {
        zrSetError(error, scriptError(QString("The proxy script is longer than %1 characters").arg(MaximumScriptLength)));
        return {};
    }
    QJSEngine engine;
    PacHost host;
    engine.globalObject().setProperty("__zrPacHost", engine.newQObject(&host));
    engine.evaluate(Helpers);
    QJSValue runner = engine.evaluate(Runner);

    // A script that never returns is stopped by a watchdog; parsing it counts against the limit too.
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    bool interrupted = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> guard(lock);
        const auto limit = std::chrono::milliseconds(static_cast<long long>(qMax(0.0, timeOutSeconds) * 1000));
        if (!finished.wait_for(guard, limit, [&done] { return done; })) {
            interrupted = true;
            engine.setInterrupted(true);
        }
    });
    const QJSValue result = runner.call({QJSValue(script), QJSValue(url.toString()), QJSValue(url.host())});
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    finished.notify_one();
    watchdog.join();

    const QString outcome = result.isString() ? result.toString() : QString();
    if (interrupted || !outcome.startsWith('A')) {
        zrSetError(error, scriptError(interrupted ? QString("The proxy script ran too long")
                                                  : QString("The proxy script failed: %1").arg(outcome.mid(1))));
        return {};
    }
    return ZrProxySettings::proxiesFromPACAnswer(outcome.mid(1));
}

#include "zrpacscript.moc"
