#pragma once

#include <QMap>
#include <QString>

class QWebEngineProfile;

// The one web engine profile of the run, made on first use: nothing on disk, no network, and
// every page and file served from the "vxflash" scheme: our page, Ruffle's files and the movies.
class CRuffleWebProfile {
public:
    static CRuffleWebProfile& Instance(const QString& rufflePath);
    QWebEngineProfile* Profile() const { return profile; }

    // The address a movie is served under; the host path never reaches the page.
    QString AddMovie(const QString& hostPath);
    void RemoveMovie(const QString& address);
    QString MovieFile(const QString& address) const;
    const QString& RufflePath() const { return rufflePath; }

private:
    explicit CRuffleWebProfile(const QString& rufflePath);

    QString rufflePath;
    QWebEngineProfile* profile = nullptr;
    QMap<QString, QString> movies;
    int nextMovie = 1;
};
