# The program as installed software: the version header, the user guide built to PDF, the manual
# pages, the desktop entry, icons, file type and metainfo, the install rules, and the Debian package
# (`make package`: CPack's DEB generator). Included after the programs are defined.
include(GNUInstallDirs)

# Who answers for the package (its control file and changelog). The project has no mail domain of
# its own yet: the reserved .invalid domain claims nobody else's.
set(PROPOSTA_MANTENEDOR "Digitação de Proposta <proposta@proposta.invalid>" CACHE STRING
  "The package's maintainer (the project has no mail domain of its own yet)")

# Packages (and `cmake --install`) configure with PROPOSTA_INSTALAVEL=ON: the programs then look for
# their guide where it is installed. Otherwise they use the one built in the build folder, so that
# "Ajuda" works in `make run` as well.
option(PROPOSTA_INSTALAVEL "The programs open the guide from the install folder" OFF)
set(PROPOSTA_PASTA_DADOS ${CMAKE_INSTALL_FULL_DATADIR}/proposta)
if(PROPOSTA_INSTALAVEL)
  set(PROPOSTA_PASTA_DOCUMENTOS ${PROPOSTA_PASTA_DADOS})
else()
  set(PROPOSTA_PASTA_DOCUMENTOS ${CMAKE_BINARY_DIR})
endif()
set(PROPOSTA_ENDERECO_FABRICANTE "file://${PROPOSTA_PASTA_DOCUMENTOS}")
set(PROPOSTA_GERADO ${CMAKE_BINARY_DIR}/gerado)
configure_file(${CMAKE_CURRENT_LIST_DIR}/proposta_versao.h.in ${PROPOSTA_GERADO}/proposta_versao.h
  @ONLY)
foreach(alvo app_forms proposta proposta-cli)
  if(TARGET ${alvo})
    target_include_directories(${alvo} PUBLIC ${PROPOSTA_GERADO})
  endif()
endforeach()

# The user guide: Markdown in docs/guia, turned into a PDF by a small Qt program at build time (Qt
# is already what the window is built on; no document tool is needed at build or run time). It
# lands in the build folder where the programs' address points when not installed.
set(PROPOSTA_GUIA_FONTE ${CMAKE_SOURCE_DIR}/docs/guia/guia.md)
set(PROPOSTA_GUIA ${CMAKE_BINARY_DIR}/Arquivos/Ajuda/programa_proposta_fornecedor.pdf)
file(GLOB PROPOSTA_GUIA_FIGURAS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.png)
add_executable(guia_pdf ${CMAKE_SOURCE_DIR}/docs/guia/guia_pdf.cpp)
target_link_libraries(guia_pdf PRIVATE Qt6::Gui)
add_custom_command(OUTPUT ${PROPOSTA_GUIA}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/Arquivos/Ajuda
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen QT_HASH_SEED=0
          $<TARGET_FILE:guia_pdf> ${PROPOSTA_GUIA_FONTE} ${PROPOSTA_GUIA}
          "Digitação de Proposta - Guia do Usuário"
  DEPENDS guia_pdf ${PROPOSTA_GUIA_FONTE} ${PROPOSTA_GUIA_FIGURAS}
  COMMENT "Guia do usuário (PDF)" VERBATIM)
add_custom_target(guia ALL DEPENDS ${PROPOSTA_GUIA})

# Manual pages, compressed as Debian installs them (gzip -n: no name or time inside). The page of
# proposta-cli is written by the built tool from its table of commands.
set(PROPOSTA_MAN ${CMAKE_BINARY_DIR}/man)
set(PROPOSTA_MAN_PAGINAS ${PROPOSTA_MAN}/proposta.1.gz)
add_custom_command(OUTPUT ${PROPOSTA_MAN}/proposta.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROPOSTA_MAN}
  COMMAND sh -c "gzip -9n <\"$1\" >\"$2\"" sh ${CMAKE_SOURCE_DIR}/docs/man/proposta.1
          ${PROPOSTA_MAN}/proposta.1.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/proposta.1 VERBATIM)
if(TARGET proposta-cli)
  add_custom_command(OUTPUT ${PROPOSTA_MAN}/proposta-cli.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROPOSTA_MAN}
    COMMAND sh -c "ASAN_OPTIONS=detect_leaks=0 \"$1\" --manual >\"$2.tmp\" && gzip -9n <\"$2.tmp\" >\"$2\" && rm \"$2.tmp\""
            sh $<TARGET_FILE:proposta-cli> ${PROPOSTA_MAN}/proposta-cli.1.gz
    DEPENDS proposta-cli VERBATIM)
  list(APPEND PROPOSTA_MAN_PAGINAS ${PROPOSTA_MAN}/proposta-cli.1.gz)
endif()

# The Debian changelog of this release, dated by SOURCE_DATE_EPOCH (the last commit's time when
# `make package` builds).
string(TIMESTAMP PROPOSTA_DATA_VERSAO "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROPOSTA_GERADO}/changelog @ONLY)
add_custom_command(OUTPUT ${PROPOSTA_GERADO}/changelog.gz
  COMMAND sh -c "gzip -9n <\"$1\" >\"$2\"" sh ${PROPOSTA_GERADO}/changelog
          ${PROPOSTA_GERADO}/changelog.gz
  DEPENDS ${PROPOSTA_GERADO}/changelog VERBATIM)
add_custom_target(manuais ALL DEPENDS ${PROPOSTA_MAN_PAGINAS} ${PROPOSTA_GERADO}/changelog.gz)

# The AppStream metainfo. The project has no web domain of its own yet: its component id and its
# public address use the reserved .invalid domain (claiming nobody else's) until one is given.
set(PROPOSTA_ID_APPSTREAM "invalid.proposta.Proposta" CACHE STRING "AppStream component id")
set(PROPOSTA_ENDERECO_PUBLICO "https://proposta.invalid" CACHE STRING
  "Public web address (the metainfo's screenshot is ADDRESS/screenshot.png)")
string(TIMESTAMP PROPOSTA_DIA_VERSAO "%Y-%m-%d" UTC)
configure_file(${CMAKE_SOURCE_DIR}/share/proposta.metainfo.xml.in
  ${PROPOSTA_GERADO}/${PROPOSTA_ID_APPSTREAM}.metainfo.xml @ONLY)

# What is installed, and where.
foreach(programa proposta proposta-cli)
  if(TARGET ${programa})
    install(TARGETS ${programa} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES ${PROPOSTA_GUIA} DESTINATION ${CMAKE_INSTALL_DATADIR}/proposta/Arquivos/Ajuda)
install(FILES ${PROPOSTA_MAN_PAGINAS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES share/proposta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROPOSTA_GERADO}/${PROPOSTA_ID_APPSTREAM}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES share/proposta-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME proposta.xml)
install(FILES share/icons/proposta.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(tamanho 16 22 24 32 48 64 128 256)
  install(FILES share/icons/proposta-${tamanho}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${tamanho}x${tamanho}/apps RENAME proposta.png)
endforeach()
install(FILES share/bash-completion/proposta-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
set(PROPOSTA_DOC ${CMAKE_INSTALL_DATADIR}/doc/proposta)
install(FILES share/copyright ${PROPOSTA_GERADO}/changelog.gz DESTINATION ${PROPOSTA_DOC})
install(FILES examples/pregao-exemplo.xml DESTINATION ${PROPOSTA_DOC}/examples)

# The Debian package. CPack's DEB generator: the version, the install rules and the file list
# stay in this one build, dpkg-shlibdeps computes the libraries' packages from the binaries, and
# SOURCE_DATE_EPOCH makes the archive reproducible.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME proposta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PROPOSTA_MANTENEDOR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "digitação de proposta para licitações públicas")
set(CPACK_PACKAGE_DESCRIPTION
  "Programa com que o fornecedor prepara sua proposta numa licitação pública:
abre o arquivo do processo recebido do órgão comprador, digita marca e preço
de cada item, confere totais por lote e da proposta, gera o arquivo da
proposta, imprime ou exporta a listagem dos itens (PDF, HTML, texto) e assina
documentos. Inclui proposta-cli, os mesmos comandos sem janela.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, but needed at run time: the report font, Qt's Portuguese dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fontconfig, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
  GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
