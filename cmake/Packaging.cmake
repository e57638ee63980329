# What `cmake --install` puts where, and the Debian packages CPack makes of it.
#
# Component "library": the shared library (with its SONAME link) and the static one, the public
# headers under include/typetutor-article/, the CMake package TypeTutorArticle (imported targets
# TypeTutor::article and TypeTutor::article_static) and typetutor-article.pc.
# Component "tutor": the typetutor program and its bundled lessons.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ARTICLE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/typetutor-article)
set(ARTICLE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/TypeTutorArticle)

# The headers of the exported classes and what they include; the internal classes (the articles'
# implementations, tokens, stopwatch, file and clock layers) stay out.
set(ARTICLE_PUBLIC_HEADERS
    Article/Article.h Article/TypingLog.h Article/TrackRecords.h Article/LessonTrackFile.h
    Article/WordTrackFile.h
    platform/Export.h platform/Win32.h platform/DeviceContext.h platform/FixedPitchDC.h
    diagnostics/Tracewise.h)
foreach(header ${ARTICLE_PUBLIC_HEADERS})
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${header}
        DESTINATION ${ARTICLE_INSTALL_INCLUDEDIR}/${folder} COMPONENT library)
endforeach()

set_target_properties(article_shared PROPERTIES EXPORT_NAME article)
set_target_properties(article PROPERTIES EXPORT_NAME article_static)
foreach(lib article article_shared)
    target_include_directories(${lib} PUBLIC $<INSTALL_INTERFACE:${ARTICLE_INSTALL_INCLUDEDIR}>)
endforeach()
install(TARGETS article_shared article EXPORT TypeTutorArticleTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library)
install(EXPORT TypeTutorArticleTargets NAMESPACE TypeTutor::
    DESTINATION ${ARTICLE_INSTALL_CMAKEDIR} COMPONENT library)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TypeTutorArticleConfig.cmake.in
    ${PROJECT_BINARY_DIR}/TypeTutorArticleConfig.cmake INSTALL_DESTINATION ${ARTICLE_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TypeTutorArticleConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TypeTutorArticleConfig.cmake
    ${PROJECT_BINARY_DIR}/TypeTutorArticleConfigVersion.cmake
    DESTINATION ${ARTICLE_INSTALL_CMAKEDIR} COMPONENT library)

# The .pc file finds its prefix from where it lies, so an unpacked package works from any root.
file(RELATIVE_PATH ARTICLE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${CMAKE_CURRENT_LIST_DIR}/typetutor-article.pc.in
    ${PROJECT_BINARY_DIR}/typetutor-article.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/typetutor-article.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)

if(TARGET typetutor)
    install(TARGETS typetutor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tutor)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/lessons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/typetutor/lessons COMPONENT tutor)
endif()

# Debian packages, one per component: libtypetutor-article and typetutor.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME typetutor)
set(CPACK_PACKAGE_VENDOR "typetutor developers")
set(CPACK_PACKAGE_CONTACT "typetutor developers <typetutor@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library)
if(TARGET typetutor)
    list(APPEND CPACK_COMPONENTS_ALL tutor)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libtypetutor-article)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "typing-tutor engine: lesson layout, typing judgement \
and typing history files
The shared and static library with its C++ headers, CMake package and pkg-config file.")
set(CPACK_DEBIAN_TUTOR_PACKAGE_NAME typetutor)
set(CPACK_DEBIAN_TUTOR_PACKAGE_SECTION education)
# The keyboard layouts and the compose tables are read at run time; the word lists of other
# languages serve practice where installed.
set(CPACK_DEBIAN_TUTOR_PACKAGE_DEPENDS "xkb-data, libx11-data")
set(CPACK_DEBIAN_TUTOR_PACKAGE_SUGGESTS "wngerman, wfrench, wspanish, wpolish, wukrainian")
set(CPACK_COMPONENT_TUTOR_DESCRIPTION "terminal typing tutor
Lessons typed in the terminal, with speed, accuracy and the weakest keys and words.")
include(CPack)
