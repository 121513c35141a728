#!/bin/bash
# Makes the operator's guide one HTML page: guide-html.sh <cmark-gfm> <guide.md> <guide.html>
# The page is self-contained but for its images, which lie in images/ beside it.
set -euo pipefail
cmark=$1 source=$2 page=$3
title=$(sed -n 's/^# //p' "$source" | head -n 1)
{
  cat <<HEAD
<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>$title</title>
<style>
body { font-family: "Segoe UI", Tahoma, Arial, sans-serif; font-size: 15px; line-height: 1.45;
       max-width: 60em; margin: 1em auto; padding: 0 1em; color: #202020; }
h1 { font-size: 1.6em; } h2 { font-size: 1.25em; margin-top: 1.6em; border-bottom: 1px solid #ccc; }
img { max-width: 100%; border: 1px solid #999; }
table { border-collapse: collapse; margin: 0.8em 0; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; vertical-align: top; text-align: left; }
th { background: #eee; }
code { font-family: Consolas, "Courier New", monospace; background: #f3f3f3; padding: 0 0.2em; }
</style>
</head>
<body>
HEAD
  "$cmark" --extension table "$source"
  printf '</body>\n</html>\n'
} > "$page.tmp"
mv "$page.tmp" "$page"
