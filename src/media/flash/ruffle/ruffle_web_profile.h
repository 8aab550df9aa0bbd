#pragma once

#include <QMap>
#include <QString>

#include <vector>

class QObject;
class QWebEngineProfile;
class CRufflePage;

// The one web engine profile of the run, made on first use: nothing on disk, no network, and
// every page and file served from the "vxflash" scheme: our page, Ruffle's files and the movies.
class CRuffleWebProfile {
public:
    // Makes the profile on the first call, serving Ruffle from rufflePath.
    static CRuffleWebProfile& Open(const QString& rufflePath);
    // The profile made by Open.
    static CRuffleWebProfile& Instance();
    QWebEngineProfile* Profile() const { return profile; }

    // The address a movie is served under; the host path never reaches the page.
    QString AddMovie(const QString& hostPath);
    void RemoveMovie(const QString& address);
    QString MovieFile(const QString& address) const;
    const QString& RufflePath() const { return rufflePath; }

    // A page for a new window: a spare one, warmed up if one is, else a new one.
    CRufflePage* TakePage();
    // A page whose window went: kept as a spare while there are few, else let go.
    void GivePage(CRufflePage* page);
    // Makes one spare page and warms it up, unless one is kept already.
    void PrepareSpare();
    // A spare page whose process ended.
    void ForgetPage(CRufflePage* page);

private:
    explicit CRuffleWebProfile(const QString& rufflePath);
    static CRuffleWebProfile*& Made();
    CRufflePage* NewPage();

    QString rufflePath;
    // The parent of every page, kept or in use.
    QObject* pages = nullptr;
    QWebEngineProfile* profile = nullptr;
    QMap<QString, QString> movies;
    int nextMovie = 1;
    std::vector<CRufflePage*> spares;
};
