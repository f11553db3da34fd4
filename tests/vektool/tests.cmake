# vektool as a user runs it: installed with the library into a folder of the
# build (a fixture), then driven by the scripts of this folder. The scripts
# make their inputs with ImageMagick and check JSON output with jq.
set(VEKTOOL_PREFIX ${CMAKE_CURRENT_BINARY_DIR}/vektool/prefix)
add_test(NAME vektool-install COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${VEKTOOL_PREFIX})
set_tests_properties(vektool-install PROPERTIES FIXTURES_SETUP vektool TIMEOUT 120)
foreach(script sprites resources fonts lzss pack midi bad_input)
  add_test(NAME vektool-${script} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/${script}.sh
    ${VEKTOOL_PREFIX}/${CMAKE_INSTALL_BINDIR}/vektool ${CMAKE_CURRENT_BINARY_DIR}/vektool/${script})
  set_tests_properties(vektool-${script} PROPERTIES FIXTURES_REQUIRED vektool TIMEOUT 300
    ENVIRONMENT "VEKHOST_PREFIX=${CMAKE_CURRENT_BINARY_DIR}/vektool/prefix-${script}")
endforeach()
