# Install-time steps (see Install.cmake). Runs inside cmake_install.cmake, where
# CMAKE_INSTALL_PREFIX is the chosen prefix and DESTDIR, when set, stages the files elsewhere.
#
# The program folder holds the user's own files beside the program: SC_CONVERTER.ini and the
# drive folders. A reinstall replaces the program and its data files, never those. The sample
# pictures come with the first install only (a reinstall would otherwise bring back samples the
# user converted, renamed or deleted). The manifest names every folder the install created and
# every file it put there with its SHA-256, so an uninstall can remove exactly those and keep
# anything the user changed.

set(sc_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(sc_folder "share/SC_CONVERTER")
set(sc_manifest "${sc_root}/${sc_folder}/install_manifest.txt")
set(sc_program_dir "${CMAKE_INSTALL_PREFIX}/${sc_folder}")
set(sc_launcher "${CMAKE_INSTALL_PREFIX}/bin/sc-converter")

# What an earlier install left: folders it created (still there) and files with their hashes.
set(sc_created_dirs "")
set(sc_paths "")   # files put there, and beside them their hashes
set(sc_hashes "")
if(EXISTS "${sc_manifest}")
  file(STRINGS "${sc_manifest}" sc_lines ENCODING UTF-8)
  foreach(sc_line IN LISTS sc_lines)
    if(sc_line MATCHES "^dir - (.+)$" AND IS_DIRECTORY "${sc_root}/${CMAKE_MATCH_1}")
      list(APPEND sc_created_dirs "${CMAKE_MATCH_1}")
    elseif(sc_line MATCHES "^file ([0-9a-f]+) (.+)$")
      list(APPEND sc_paths "${CMAKE_MATCH_2}")
      list(APPEND sc_hashes "${CMAKE_MATCH_1}")
    endif()
  endforeach()
endif()

set(sc_dirs . bin share share/applications share/icons share/icons/hicolor
    share/icons/hicolor/48x48 share/icons/hicolor/48x48/apps
    share/icons/hicolor/256x256 share/icons/hicolor/256x256/apps ${sc_folder})
set(sc_with_samples FALSE)
if(NOT EXISTS "${sc_root}/${sc_folder}/drive_c")
  set(sc_with_samples TRUE)
  file(GLOB_RECURSE sc_sample_dirs LIST_DIRECTORIES true RELATIVE "${SC_INSTALL_STAGE}/program"
       "${SC_INSTALL_STAGE}/program/drive_c/*")
  list(APPEND sc_dirs "${sc_folder}/drive_c")
  foreach(sc_dir IN LISTS sc_sample_dirs)
    if(IS_DIRECTORY "${SC_INSTALL_STAGE}/program/${sc_dir}")
      list(APPEND sc_dirs "${sc_folder}/${sc_dir}")
    endif()
  endforeach()
endif()
foreach(sc_dir IN LISTS sc_dirs)
  if(NOT IS_DIRECTORY "${sc_root}/${sc_dir}")
    list(APPEND sc_created_dirs "${sc_dir}")
  endif()
endforeach()

# sc_put(<relative destination folder> <type> <source file> [<name>]): installs one file and
# records it with its hash.
function(sc_put folder type source)
  get_filename_component(name "${source}" NAME)
  set(rename "")
  if(ARGC GREATER 3)
    set(name "${ARGV3}")
    set(rename RENAME "${name}")
  endif()
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${folder}" TYPE ${type} FILES "${source}"
       ${rename})
  file(SHA256 "${sc_root}/${folder}/${name}" hash)
  list(FIND sc_paths "${folder}/${name}" known)
  if(known GREATER_EQUAL 0)
    list(REMOVE_AT sc_paths ${known})
    list(REMOVE_AT sc_hashes ${known})
  endif()
  list(APPEND sc_paths "${folder}/${name}")
  list(APPEND sc_hashes "${hash}")
  set(sc_paths "${sc_paths}" PARENT_SCOPE)
  set(sc_hashes "${sc_hashes}" PARENT_SCOPE)
endfunction()

# A path as one argument of a desktop entry's Exec key: quoted, with the quoting's and the
# key's own escapes.
function(sc_exec_argument path out)
  string(REPLACE "\\" "\\\\" arg "${path}")
  foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\${special}" arg "${arg}")
  endforeach()
  string(REPLACE "\\" "\\\\" arg "${arg}")
  string(REPLACE "%" "%%" arg "${arg}")
  set(${out} "\"${arg}\"" PARENT_SCOPE)
endfunction()

sc_put(${sc_folder} EXECUTABLE "${SC_PROGRAM_FILE}")
foreach(sc_data bg_tate.bmp bg_film.bmp Readme.txt SC_GUIDE.pdf)
  sc_put(${sc_folder} FILE "${SC_INSTALL_STAGE}/program/${sc_data}")
endforeach()
if(sc_with_samples)
  file(GLOB_RECURSE sc_samples RELATIVE "${SC_INSTALL_STAGE}/program"
       "${SC_INSTALL_STAGE}/program/drive_c/*")
  foreach(sc_sample IN LISTS sc_samples)
    get_filename_component(sc_sample_dir "${sc_sample}" DIRECTORY)
    sc_put("${sc_folder}/${sc_sample_dir}" FILE "${SC_INSTALL_STAGE}/program/${sc_sample}")
  endforeach()
endif()

# The launcher starts the program in its folder, whatever the current directory.
string(REPLACE "'" "'\\''" sc_quoted "${sc_program_dir}/SC_CONVERTER")
file(WRITE "${SC_INSTALL_WORK}/sc-converter"
     "#!/bin/sh\n# Starts SC_CONVERTER from its program folder.\nexec '${sc_quoted}' \"$@\"\n")
sc_put(bin PROGRAM "${SC_INSTALL_WORK}/sc-converter")

sc_exec_argument("${sc_launcher}" SC_EXEC)
string(REPLACE "\\" "\\\\" SC_TRY_EXEC "${sc_launcher}")
configure_file("${SC_DESKTOP_TEMPLATE}" "${SC_INSTALL_WORK}/sc-converter.desktop" @ONLY)
sc_put(share/applications FILE "${SC_INSTALL_WORK}/sc-converter.desktop")
foreach(sc_size 48 256)
  sc_put(share/icons/hicolor/${sc_size}x${sc_size}/apps FILE
         "${SC_INSTALL_STAGE}/icons/sc-converter-${sc_size}.png" sc-converter.png)
endforeach()

list(REMOVE_DUPLICATES sc_created_dirs)
set(sc_text "# Written by the SC_CONVERTER install; `scripts/install --uninstall` reads it.\n")
foreach(sc_dir IN LISTS sc_created_dirs)
  string(APPEND sc_text "dir - ${sc_dir}\n")
endforeach()
foreach(sc_path sc_hash IN ZIP_LISTS sc_paths sc_hashes)
  string(APPEND sc_text "file ${sc_hash} ${sc_path}\n")
endforeach()
file(WRITE "${sc_manifest}" "${sc_text}")
message(STATUS "SC_CONVERTER installed: start it from the menu or with ${sc_launcher}")
