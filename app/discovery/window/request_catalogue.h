// The catalogue queries of the configuration window, asked through the application's
// catalogue request: the window holds no catalogue of its own.
#pragma once

#include <contract/request_sink.h>
#include <discovery/catalogue_queries.h>

namespace tamsel::contract {
struct TagCatalogueQuery;
}

namespace tamsel::discovery {

class TRequestCatalogue final : public TCatalogueQueries {
  public:
    explicit TRequestCatalogue(contract::TRequestSink& app) : m_app(app) {}

    std::string typeName(int32_t code) override;
    DecodedType typeModule(const std::string& identity) override;
    NamedType typeAssocied(int32_t code, const std::string& name) override;
    NamedType typeGenerique(int32_t code) override;
    std::string infoTypeAssocied(const std::string& name) override;
    int32_t strategy(int32_t code, int32_t kind) override;
    bool isLabelGeneric(const std::string& typeName) override;
    bool isCodeAssociated(int32_t code) override;
    int32_t associateCount(int32_t code) override;
    std::string associate(int32_t code, int32_t index) override;
    std::string targetName(int32_t code) override;
    std::string findCmde(int32_t code, int32_t purpose, const std::string& argument) override;

  private:
    void ask(contract::TagCatalogueQuery& query);

    contract::TRequestSink& m_app;
};

} // namespace tamsel::discovery
