#include "support/zrzipreader.h"

#include <QFile>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <ctime>
#include <memory>

namespace {

// The classic DOS date and time word of a time, in local time; 0 outside 1980 to 2107.
quint32 dosDateOf(time_t time)
{
    struct tm local = {};
    if (!localtime_r(&time, &local) || local.tm_year < 80 || local.tm_year > 80 + 127)
        return 0;
    return quint32(local.tm_year - 80) << 25 | quint32(local.tm_mon + 1) << 21 | quint32(local.tm_mday) << 16
           | quint32(local.tm_hour) << 11 | quint32(local.tm_min) << 5 | quint32(local.tm_sec / 2);
}

bool isAes(zip_uint16_t method)
{
    return method == ZIP_EM_AES_128 || method == ZIP_EM_AES_192 || method == ZIP_EM_AES_256;
}

}  // namespace

ZrZipReader::ZrZipReader(const QString &path)
{
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (m_zip)
        m_count = zip_get_num_entries(m_zip, 0);
}

ZrZipReader::~ZrZipReader()
{
    if (m_file)
        zip_fclose(m_file);
    if (m_zip)
        zip_discard(m_zip);
}

int ZrZipReader::globalInfo(ZrZipGlobalInfo &info) const
{
    if (!m_zip)
        return ParamError;
    info = ZrZipGlobalInfo();
    info.numberEntry = quint64(m_count);
    int commentLength = 0;
    if (zip_get_archive_comment(m_zip, &commentLength, ZIP_FL_ENC_RAW))
        info.sizeComment = quint32(commentLength);
    return Ok;
}

int ZrZipReader::goToFirstFile()
{
    if (!m_zip)
        return ParamError;
    m_index = 0;
    return m_count > 0 ? Ok : EndOfListOfFile;
}

int ZrZipReader::goToNextFile()
{
    if (!m_zip)
        return ParamError;
    if (m_index + 1 >= m_count)
        return EndOfListOfFile;
    ++m_index;
    return Ok;
}

int ZrZipReader::openCurrentFile(const QByteArray &password)
{
    if (m_file)
        closeCurrentFile();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (m_index >= m_count || zip_stat_index(m_zip, zip_uint64_t(m_index), 0, &stat) != 0)
        return ParamError;

    m_file = zip_fopen_index_encrypted(m_zip, zip_uint64_t(m_index), 0,
                                       password.isNull() ? nullptr : password.constData());
    if (!m_file) {
        const int code = zip_error_code_zip(zip_get_error(m_zip));
        zip_error_clear(m_zip);
        // No password, a wrong one, or an empty one where AES cannot take it.
        if (stat.encryption_method != ZIP_EM_NONE
            && (code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD || code == ZIP_ER_INVAL))
            return BadPassword;
        return BadZipFile;
    }
    // AE-2 entries carry CRC 0 and rely on their authentication code, yet libzip 1.7.3 compares
    // their data with that 0 and fails every read at the end; the code is checked here instead.
    m_withoutCrc = isAes(stat.encryption_method) && stat.crc == 0;
    m_crcFailed = m_withoutCrc && !aesAuthenticationHolds(stat, password);
    return Ok;
}

int ZrZipReader::currentFileInfo(ZrZipFileInfo &info, QByteArray &rawName, QString &strictName) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    const zip_uint64_t index = zip_uint64_t(m_index);
    if (m_index >= m_count || zip_stat_index(m_zip, index, 0, &stat) != 0
        || zip_file_get_external_attributes(m_zip, index, 0, &system, &attributes) != 0)
        return ParamError;
    const char *raw = zip_get_name(m_zip, index, ZIP_FL_ENC_RAW);
    const char *strict = zip_get_name(m_zip, index, ZIP_FL_ENC_STRICT);
    if (!raw || !strict)
        return BadZipFile;
    zip_uint32_t commentLength = 0;
    zip_file_get_comment(m_zip, index, &commentLength, ZIP_FL_ENC_RAW);

    info = ZrZipFileInfo();
    info.versionMadeBy = quint32(system) << 8;
    info.flag = stat.encryption_method != ZIP_EM_NONE ? 1 : 0;
    info.compressionMethod = stat.comp_method;
    info.dosDate = dosDateOf(stat.mtime);
    info.crc = stat.crc;
    info.compressedSize = stat.comp_size;
    info.uncompressedSize = stat.size;
    info.sizeFilename = quint32(qstrlen(raw));
    info.sizeFileComment = commentLength;
    info.externalFa = attributes;
    rawName = QByteArray(raw);
    strictName = QString::fromUtf8(strict);
    return Ok;
}

int ZrZipReader::readCurrentFile(char *buffer, int size)
{
    if (!m_file)
        return ParamError;
    const zip_int64_t count = zip_fread(m_file, buffer, zip_uint64_t(size));
    if (count >= 0)
        return int(count);
    const int code = zip_error_code_zip(zip_file_get_error(m_file));
    if (code == ZIP_ER_CRC) {
        // libzip checks at the end of the data; the close reports it, as the classic interface does.
        m_crcFailed = m_crcFailed || !m_withoutCrc;
        return 0;
    }
    if (code == ZIP_ER_ZLIB || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD)
        return DataError;
    return Errno;
}

int ZrZipReader::closeCurrentFile()
{
    if (!m_file)
        return ParamError;
    zip_fclose(m_file);
    m_file = nullptr;
    return m_crcFailed ? CrcError : Ok;
}

bool ZrZipReader::aesAuthenticationHolds(const zip_stat_t &stat, const QByteArray &password) const
{
    // WinZip AES: salt and a 2-byte password check, the encrypted data, then 10 bytes of
    // HMAC-SHA1 over the encrypted data, keyed with the second key derived by PBKDF2. Exactly the
    // entry's bytes are read: libzip would still fail a read past the end of a stored entry.
    const int keyLength = stat.encryption_method == ZIP_EM_AES_128 ? 16 : stat.encryption_method == ZIP_EM_AES_192 ? 24 : 32;
    const zip_uint64_t codeLength = 10;
    const zip_uint64_t overhead = zip_uint64_t(keyLength / 2) + 2 + codeLength;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t *)> raw(
        zip_fopen_index(m_zip, zip_uint64_t(m_index), ZIP_FL_COMPRESSED | ZIP_FL_ENCRYPTED), zip_fclose);
    const auto readExactly = [&raw](void *buffer, zip_uint64_t length) {
        return zip_fread(raw.get(), buffer, length) == zip_int64_t(length);
    };
    QByteArray salt(keyLength / 2, '\0');
    char check[2];
    if (!raw || stat.comp_size < overhead || !readExactly(salt.data(), zip_uint64_t(salt.size()))
        || !readExactly(check, sizeof check))
        return false;

    QByteArray keys(2 * keyLength + 2, '\0');
    if (!PKCS5_PBKDF2_HMAC_SHA1(password.constData(), password.size(),
                                reinterpret_cast<const unsigned char *>(salt.constData()), salt.size(), 1000,
                                keys.size(), reinterpret_cast<unsigned char *>(keys.data())))
        return false;
    std::unique_ptr<EVP_MAC, void (*)(EVP_MAC *)> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr), EVP_MAC_free);
    std::unique_ptr<EVP_MAC_CTX, void (*)(EVP_MAC_CTX *)> context(hmac ? EVP_MAC_CTX_new(hmac.get()) : nullptr,
                                                                    EVP_MAC_CTX_free);
    char digestName[] = "SHA1";
    const OSSL_PARAM parameters[] = {OSSL_PARAM_construct_utf8_string("digest", digestName, 0),
                                     OSSL_PARAM_construct_end()};
    if (!context
        || !EVP_MAC_init(context.get(), reinterpret_cast<const unsigned char *>(keys.constData()) + keyLength,
                         size_t(keyLength), parameters))
        return false;

    unsigned char buffer[16384];
    for (zip_uint64_t left = stat.comp_size - overhead; left > 0;) {
        const zip_uint64_t chunk = qMin<zip_uint64_t>(left, sizeof buffer);
        if (!readExactly(buffer, chunk) || !EVP_MAC_update(context.get(), buffer, size_t(chunk)))
            return false;
        left -= chunk;
    }
    unsigned char code[codeLength];
    unsigned char digest[EVP_MAX_MD_SIZE];
    size_t digestLength = 0;
    return readExactly(code, codeLength) && EVP_MAC_final(context.get(), digest, &digestLength, sizeof digest)
           && digestLength >= codeLength && CRYPTO_memcmp(digest, code, codeLength) == 0;
}
