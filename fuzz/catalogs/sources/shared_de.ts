<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<dependencies><dependency catalog="d_de"/></dependencies>
<context>
    <name>QObject</name>
    <message><source>Shared</source><translation>Geteilt</translation></message>
    <message><source>Hello</source><comment>Hello</comment><translation>Hallo aus c</translation></message>
</context>
</TS>
