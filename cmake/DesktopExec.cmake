# The text that names `path` as one argument of a desktop entry's Exec= key:
# in double quotes when it holds a reserved character, with `"`, `` ` ``,
# `$` and `\` escaped inside; `%` doubled, as a field code would start there;
# then escaped once more as any string value of the file is (the backslashes
# doubled, so a literal backslash takes four).
function(quindorel_desktop_exec_argument out path)
  set(text "${path}")
  if(text MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    string(REPLACE "\\" "\\\\" text "${text}")
    foreach(character "\"" "`" "$")
      string(REPLACE "${character}" "\\${character}" text "${text}")
    endforeach()
    set(text "\"${text}\"")
  endif()
  string(REPLACE "%" "%%" text "${text}")
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  # KWin 5.27 finds the entry of a program by splitting Exec= with Qt's
  # QProcess::splitCommand, which knows double quotes but no backslash or
  # percent escapes: it would not recognise the program.
  if(path MATCHES "[\"`$\\\\%\n]")
    message(WARNING "${path}: KWin will not let the program send keys on Plasma's Wayland session "
                    "from a folder whose name has any of \" ` $ \\ % or a line break")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
