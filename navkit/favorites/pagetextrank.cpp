#include "navkit/favorites/pagetextrank.h"

#include <sqlite3.h>

namespace PageTextRank {

namespace {

void fieldRank(const Fts5ExtensionApi *api, Fts5Context *fts, sqlite3_context *result, int weights,
               sqlite3_value **weight)
{
    double score = 0;
    const int phrases = api->xPhraseCount(fts);
    for (int phrase = 0; phrase < phrases; ++phrase) {
        Fts5PhraseIter it{};
        int column = -1;
        for (api->xPhraseFirstColumn(fts, phrase, &it, &column); column >= 0; api->xPhraseNextColumn(fts, &it, &column))
            score += column < weights ? sqlite3_value_double(weight[column]) : 1.0;
    }
    sqlite3_result_double(result, -score);
}

fts5_api *fts5Of(sqlite3 *db)
{
    fts5_api *api = nullptr;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(st, 1, static_cast<void *>(&api), "fts5_api_ptr", nullptr);
        sqlite3_step(st);
    }
    sqlite3_finalize(st);
    return api;
}

} // namespace

bool install(sqlite3 *db)
{
    fts5_api *api = fts5Of(db);
    return api && api->xCreateFunction(api, "fieldrank", nullptr, &fieldRank, nullptr) == SQLITE_OK;
}

} // namespace PageTextRank
