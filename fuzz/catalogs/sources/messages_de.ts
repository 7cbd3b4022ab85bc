<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message><source>Hello</source><translation>Hallo</translation></message>
    <message><source>Both</source><translation>Beide ohne</translation></message>
    <message><source>Both</source><comment>Both</comment><translation>Beide mit</translation></message>
    <message><source>Menu</source><comment>menu bar</comment><translation>Menü</translation></message>
    <message><source></source><translation>Leer</translation></message>
    <message><source>Grüße</source><translation>Schöne Grüße</translation></message>
    <message numerus="yes"><source>%n file(s)</source><translation><numerusform>%n Datei</numerusform><numerusform>%n Dateien</numerusform></translation></message>
    <message><source>Unfinished</source><translation type="unfinished">Unfertig</translation></message>
</context>
<context>
    <name>Other</name>
    <message><source>Hello</source><translation>Servus</translation></message>
    <message><source>Only here</source><comment>Only here</comment><translation>Nur hier</translation></message>
</context>
</TS>
