#ifndef ZRERROR_H
#define ZRERROR_H

#include <QSharedPointer>
#include <QString>
#include <QVariantMap>

// An error value: domain, code, description, an optional failure reason, an optional
// underlying error and free user information. A default-constructed error is null ("no error").
class ZrError
{
public:
    ZrError() = default;
    ZrError(const QString &domain, int code, const QString &localizedDescription);
    ZrError(const QString &domain, int code, const QString &localizedDescription, const ZrError &underlyingError,
            const QString &localizedFailureReason = QString(), const QVariantMap &userInfo = QVariantMap());

    bool isNull() const { return m_domain.isEmpty(); }
    QString domain() const { return m_domain; }
    int code() const { return m_code; }
    QString localizedDescription() const { return m_description; }
    QString localizedFailureReason() const { return m_failureReason; }
    ZrError underlyingError() const;
    QVariantMap userInfo() const { return m_userInfo; }

    bool operator==(const ZrError &other) const;
    bool operator!=(const ZrError &other) const { return !(*this == other); }

private:
    QString m_domain;
    int m_code = 0;
    QString m_description;
    QString m_failureReason;
    QSharedPointer<const ZrError> m_underlying;  // errors are values; the chain is shared, never changed
    QVariantMap m_userInfo;
};

Q_DECLARE_METATYPE(ZrError)

#endif
